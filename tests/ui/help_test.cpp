// The help command: the page beside the program, shown by the desktop's web
// browser where HTML opens in one, else in the program's own window.
#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/html/htmlwin.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/file_contents.h"
#include "tests/ui/startup_fixture.h"
#include "tests/ui/window_manager.h"
#include "ui/command_ids.h"
#include "ui/help_window.h"
#include "ui/main_frame.h"
#include "ui/tessavo_app.h"
#include "ui/wx_text.h"
#include "viewers/process_starter.h"

using namespace startup_test;

namespace {

class RecordingOpener : public ShellOpener {
 public:
  void open(const std::string& location, StartFailure failed) override {
    opened.push_back(location);
    if (!failure.empty()) failed(failure);
  }
  std::vector<std::string> opened;
  // The handler's failure, told at once when not empty.
  std::string failure;
};

class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
 public:
  explicit ExpectMessage(wxString* seen) : seen_(seen) {}

 protected:
  int OnInvoked(wxMessageDialog* dialog) const override {
    *seen_ = dialog->GetMessage();
    return wxID_OK;
  }

 private:
  wxString* seen_;
};

// The desktop's application folders and associations for one test: HTML
// opens in `handler`, a web browser or a text editor. The previous folders
// come back when it goes.
class Desktop {
 public:
  enum class Handler { WebBrowser, TextEditor };

  explicit Desktop(Handler handler) : root_(scratch() + "desktop/") {
    std::filesystem::remove_all(root_);
    for (const char* variable : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) {
      const char* value = std::getenv(variable);
      saved_.push_back(value != nullptr ? value : "");
    }
    writeFile(root_ + "data/applications/browser.desktop",
              "[Desktop Entry]\nType=Application\nName=B\nExec=b %u\n"
              "Categories=Network;WebBrowser;\nMimeType=text/html;\n");
    writeFile(root_ + "data/applications/editor.desktop",
              "[Desktop Entry]\nType=Application\nName=E\nExec=e %f\n"
              "Categories=Development;TextEditor;\nMimeType=text/html;text/plain;\n");
    const char* chosen = handler == Handler::WebBrowser ? "browser.desktop" : "editor.desktop";
    writeFile(root_ + "config/mimeapps.list",
              std::string("[Default Applications]\ntext/html=") + chosen + "\n");
    ::setenv("XDG_DATA_HOME", (root_ + "data").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (root_ + "system").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root_ + "config").c_str(), 1);
  }
  ~Desktop() {
    const char* variables[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"};
    for (std::size_t i = 0; i < 3; ++i) {
      if (saved_[i].empty()) {
        ::unsetenv(variables[i]);
      } else {
        ::setenv(variables[i], saved_[i].c_str(), 1);
      }
    }
  }

 private:
  std::string root_;
  std::vector<std::string> saved_;
};

const wxString kNotFound = wxString::FromUTF8(
    "ヘルプ（HTML）ファイルが見つかりません。実行ファイルと同じフォルダに置いてください。");
const wxString kCannotOpen = wxString::FromUTF8("ヘルプ (HTML) ファイルを開けません");

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scratch() + "work/help/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "index.htm.d");
    app().setHelpOpener(&opener);
    app().setHelpFolder(folder);
  }
  void TearDown() override {
    // Gone before the next test, which may expect no window.
    if (HelpWindow* window = HelpWindow::current()) window->Destroy();
    EXPECT_TRUE(pumpUntil([] { return HelpWindow::current() == nullptr; }));
    app().setHelpOpener(&systemShellOpener());
    app().setHelpFolder(std::string());
  }

  std::string folder;
  RecordingOpener opener;
};

TEST_F(HelpTest, GoesToTheDesktopsWebBrowser) {
  const Desktop desktop(Desktop::Handler::WebBrowser);
  ASSERT_TRUE(CAppWithHelp::desktopShowsHelp());
  wxString message;
  wxTEST_DIALOG(app().showHelp(), ExpectMessage(&message));
  EXPECT_EQ(message, kNotFound);
  EXPECT_TRUE(opener.opened.empty());

  // Found whatever the letter case of its name, opened under that name.
  writeFile(folder + "Index.HTM", "<html></html>");
  app().showHelp();
  EXPECT_EQ(opener.opened, std::vector<std::string>{folder + "Index.HTM"});
  EXPECT_EQ(HelpWindow::current(), nullptr);

  // A handler that fails is told with its reason, once it is known.
  opener.failure = "xdg-open: 終了コード 3";
  message.clear();
  wxTEST_DIALOG(
      {
        app().showHelp();
        EXPECT_TRUE(pumpUntil([&] { return !message.empty(); }));
      },
      ExpectMessage(&message));
  EXPECT_EQ(message, kCannotOpen + wxString::FromUTF8(": xdg-open: 終了コード 3"));
}

TEST_F(HelpTest, ShowsThePageInItsOwnWindowWhereNoBrowserOpensHtml) {
  const Desktop desktop(Desktop::Handler::TextEditor);
  ASSERT_FALSE(CAppWithHelp::desktopShowsHelp());
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);

  // The page the build puts beside the program, through the menu.
  app().setHelpFolder(std::string());
  wxCommandEvent help(wxEVT_MENU, ID_HELP);
  frame->ProcessWindowEvent(help);
  EXPECT_TRUE(opener.opened.empty()) << "the text editor must not get the page";
  HelpWindow* window = HelpWindow::current();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->page(), TESSAVO_BINARY_DIR "/bin/index.htm");
  EXPECT_TRUE(window->IsShown());
  EXPECT_EQ(window->GetParent(), frame);
  // Its Japanese title came through whole.
  EXPECT_EQ(fromWx(window->html()->GetOpenedPageTitle()), "Tessavo ヘルプ");

  // Asked again, the same window shows it.
  frame->ProcessWindowEvent(help);
  EXPECT_EQ(HelpWindow::current(), window);
}

TEST_F(HelpTest, APageThatCannotBeReadIsToldAsNotOpened) {
  const Desktop desktop(Desktop::Handler::TextEditor);
  // Listed in the folder, gone when it is read.
  std::filesystem::create_symlink(folder + "moved-away.htm", folder + "index.htm");
  wxString message;
  wxTEST_DIALOG(app().showHelp(), ExpectMessage(&message));
  EXPECT_EQ(message, kCannotOpen);
  EXPECT_EQ(HelpWindow::current(), nullptr);
}

// Counts what is logged while it is the active log target.
class CountingLog : public wxLog {
 public:
  CountingLog() : previous_(wxLog::SetActiveTarget(this)) {}
  ~CountingLog() override { wxLog::SetActiveTarget(previous_); }
  int count = 0;

 protected:
  void DoLogRecord(wxLogLevel, const wxString&, const wxLogRecordInfo&) override { ++count; }

 private:
  wxLog* previous_;
};

TEST_F(HelpTest, TheWindowFollowsTheContentsOpensBesideTheMainWindowAndClosesByKey) {
  std::string why;
  ASSERT_TRUE(ensureWindowManager(&why)) << why;
  const Desktop desktop(Desktop::Handler::TextEditor);
  writeProfile("[Settings]\nleft=40\ntop=60\nright=340\nbottom=460\n");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  app().setHelpFolder(std::string());
  app().showHelp();
  HelpWindow* window = HelpWindow::current();
  ASSERT_NE(window, nullptr);

  // Wholly on the screen, beside the main window.
  ASSERT_TRUE(pumpUntil(
      [&] { return window->IsShownOnScreen() && window->html()->GetClientSize().y > 0; }));
  const wxRect area = wxDisplay(frame).GetClientArea();
  const wxRect help = window->GetScreenRect();
  const wxRect main = frame->GetScreenRect();
  EXPECT_TRUE(area.Contains(help)) << help.x << "," << help.y << " " << help.width << "x"
                                   << help.height;
  EXPECT_NEAR(help.GetLeft(), main.GetRight(), 40);
  EXPECT_NEAR(help.GetTop(), main.GetTop(), 40);

  // Every link of the page's contents finds its place, without a complaint.
  const std::string page = test_support::readFile(window->page());
  const std::regex inPageLink("href=\"#([^\"]+)\"");
  int links = 0;
  {
    CountingLog complaints;
    for (std::sregex_iterator link(page.begin(), page.end(), inPageLink), end; link != end;
         ++link, ++links) {
      EXPECT_TRUE(window->html()->LoadPage(toWx("#" + (*link)[1].str()))) << (*link)[1];
    }
    EXPECT_EQ(complaints.count, 0);
  }
  EXPECT_GE(links, 10);
  EXPECT_GT(window->html()->GetViewStart().y, 0) << "the last place is not at the page's top";

  // Esc closes it; shown again, Ctrl+W does.
  wxUIActionSimulator keyboard;
  for (const int modifiers : {wxMOD_NONE, wxMOD_CONTROL}) {
    app().showHelp();
    window = HelpWindow::current();
    ASSERT_NE(window, nullptr);
    window->Raise();
    ASSERT_TRUE(pumpUntil([&] { return window->IsActive(); })) << "the help window has no focus";
    keyboard.Char(modifiers == wxMOD_NONE ? static_cast<int>(WXK_ESCAPE) : 'w', modifiers);
    EXPECT_TRUE(pumpUntil([] { return HelpWindow::current() == nullptr; }))
        << (modifiers == wxMOD_NONE ? "Esc" : "Ctrl+W") << " did not close the help window";
  }
}

}  // namespace
