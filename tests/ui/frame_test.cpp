// The main frame: its parts, its settings and the enable rules of its
// commands, idle and during a run.
#include <wx/fontdlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "platform/file_handle.h"
#include "tests/support/held_validator.h"
#include "ui/command_ids.h"
#include "ui/wx_text.h"
#include "viewers/editor_launcher.h"
#include "window_fixture.h"

namespace {

// A process that exists and has not ended (a zombie has ended).
bool processRuns(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string skip;
  char state = 0;
  return stat >> skip >> skip >> state && state != 'Z';
}

TEST_F(WindowTest, FirstStartHasEveryPartAndTheDefaults) {
  open();
  // GTK keeps a window at least as wide as its menu bar, which is a little
  // wider than 300 pixels with these menu titles.
  EXPECT_EQ(frame->GetPosition(), wxPoint(0, 0));
  EXPECT_EQ(frame->GetSize().GetHeight(), 400);
  EXPECT_GE(frame->GetSize().GetWidth(), 300);
  EXPECT_LE(frame->GetSize().GetWidth(), 400);
  EXPECT_EQ(frame->splitter()->GetSashPosition(), 100);
  EXPECT_EQ(caption(), "無題 - Tessavo");
  EXPECT_EQ(fromWx(frame->GetStatusBar()->GetStatusText(0)), "ﾚﾃﾞｨ");
  EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 5);
  EXPECT_EQ(frame->listFontRecord().faceName, "FixedSys");
  EXPECT_EQ(frame->listFontRecord().height, -13);
  EXPECT_TRUE(frame->GetIcons().GetIconCount() > 0) << "the window shows the program's icon";
  // Never set: the first installed desktop editor, or the desktop's handler.
  EXPECT_EQ(frame->editorCommand(), defaultEditorCommand());
  EXPECT_EQ(frame->validatorPath(), "");

  wxMenuBar* bar = frame->GetMenuBar();
  ASSERT_EQ(bar->GetMenuCount(), 5u);
  const char* titles[] = {"ファイル(&F)", "編集(&E)", "表示(&V)", "設定(&S)", "ヘルプ(&H)"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(fromWx(bar->GetMenuLabel(i)), titles[i]);
  EXPECT_EQ(fromWx(bar->FindItem(ID_CHECK_ALL)->GetItemLabel()), "全て検査(&A)");
  EXPECT_EQ(fromWx(bar->FindItem(ID_SELECT_FILES)->GetHelp()), "検査するファイルを選びます。");
  EXPECT_EQ(bar->GetMenu(1)->GetMenuItemCount(), 11u);

  // Highlighting an entry shows its prompt; leaving the menu shows the idle
  // text again.
  wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, ID_SELECT_FILES);
  highlight.SetEventObject(frame);
  frame->ProcessWindowEvent(highlight);
  EXPECT_EQ(fromWx(frame->GetStatusBar()->GetStatusText(0)), "検査するファイルを選びます。");
  wxMenuEvent closed(wxEVT_MENU_CLOSE, 0, bar->GetMenu(1));
  closed.SetEventObject(frame);
  frame->ProcessWindowEvent(closed);
  EXPECT_EQ(fromWx(frame->GetStatusBar()->GetStatusText(0)), "ﾚﾃﾞｨ");

  const std::map<int, std::string> buttons = {{ID_CHECK_ALL, "全て検査"},
                                              {ID_OPEN_EDITOR, "編集"},
                                              {ID_OPEN_BROWSER, "閲覧"},
                                              {ID_CHECK_ABORT, "検査中断"}};
  for (const auto& [id, label] : buttons) {
    wxWindow* button = frame->buttonBar()->FindWindow(id);
    ASSERT_NE(button, nullptr) << label;
    EXPECT_EQ(fromWx(button->GetLabel()), label);
  }
}

TEST_F(WindowTest, EnableRulesWhenIdleFollowTheActivePaneAndItsSelection) {
  open();
  const std::vector<int> ids = {ID_EDIT_CLEAR,  ID_CHECK_ALL,    ID_CHECK_SELECTED,
                                ID_OPEN_EDITOR, ID_OPEN_BROWSER, ID_CHECK_ABORT};
  auto rules = [&] {
    std::vector<bool> now;
    for (int id : ids) now.push_back(enabled(id));
    return now;
  };
  // Empty panes: nothing to check, remove or open.
  EXPECT_EQ(rules(), (std::vector<bool>{false, false, false, false, false, false}));

  files->AddFile("/d/a.htm");
  files->AddUri("http://server/b.html");
  CheckTarget* local = files->target(0);
  CheckTarget* remote = files->target(1);
  errors->AddLine("-------- /d/a.htm", std::make_unique<ErrorItem>(ErrorItem{local, -1}));
  errors->AddLine("b.html:3:1:E: x", std::make_unique<ErrorItem>(ErrorItem{remote, 3}));
  errors->AddLine("検査終了", nullptr);
  errors->syncWithModel();

  struct Row {
    const char* what;
    bool errorPaneActive;
    long line;
    std::vector<bool> expected;  // in the order of `ids`
  };
  const Row rows[] = {
      {"file pane, nothing selected", false, -1, {false, true, false, false, false, false}},
      {"file pane, local file", false, 0, {true, true, true, true, true, false}},
      {"file pane, http target", false, 1, {true, true, true, false, true, false}},
      {"error pane, local header line", true, 0, {false, true, true, true, true, false}},
      {"error pane, http error line", true, 1, {false, true, true, false, true, false}},
      {"error pane, closing line", true, 2, {false, true, false, false, false, false}},
  };
  for (const Row& row : rows) {
    files->selectLine(-1);
    errors->selectLine(-1);
    ListBoxView* pane =
        row.errorPaneActive ? static_cast<ListBoxView*>(errors) : static_cast<ListBoxView*>(files);
    pane->selectLine(row.line);
    frame->setActivePane(pane);
    EXPECT_EQ(rules(), row.expected) << row.what;
  }
  // The file pane keeps its selection, but the error pane is active.
  files->selectLine(0);
  frame->setActivePane(errors);
  errors->selectLine(-1);
  EXPECT_FALSE(enabled(ID_EDIT_CLEAR));

  for (int id : {ID_SELECT_FILES, ID_SELECT_FOLDER, ID_ADD_URI, ID_FILE_NEW, ID_FILE_OPEN,
                 ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_EXIT, ID_SET_FONT, ID_OPTIONS, ID_DROP_START,
                 ID_VIEW_BUTTONBAR, ID_HELP, ID_APP_ABOUT, ID_BROWSER_01, ID_BROWSER_10}) {
    EXPECT_TRUE(enabled(id)) << id;
  }
}

TEST_F(WindowTest, DuringARunOnlyViewingSavingSettingsAndAbortStayEnabled) {
  test_support::HeldValidator validator(folderPath());
  writeSettings("SP Location=" + validator.path() + "\n");
  open();
  files->AddFile(writeFile("a.htm", "<p>a</p>\n"));
  files->selectLine(0);
  frame->setActivePane(files);
  command(ID_CHECK_ALL);
  ASSERT_TRUE(frame->isChecking());

  for (int id : {ID_SELECT_FILES, ID_SELECT_FOLDER, ID_ADD_URI, ID_EDIT_CLEAR, ID_CHECK_ALL,
                 ID_CHECK_SELECTED, ID_FILE_NEW, ID_FILE_OPEN, ID_APP_EXIT}) {
    EXPECT_FALSE(enabled(id)) << id;
  }
  for (int id : {ID_CHECK_ABORT, ID_OPEN_EDITOR, ID_OPEN_BROWSER, ID_FILE_SAVE, ID_FILE_SAVE_AS,
                 ID_SET_FONT, ID_OPTIONS, ID_VIEW_BUTTONBAR, ID_DROP_START, ID_APP_ABOUT}) {
    EXPECT_TRUE(enabled(id)) << id;
  }
  // A second start while running changes nothing.
  frame->StartCheck(CMainFrame::CheckScope::Selected);
  EXPECT_TRUE(frame->isChecking());
  command(ID_CHECK_ABORT);
  validator.release();
  waitForRunEnd();
  EXPECT_FALSE(enabled(ID_CHECK_ABORT));
  EXPECT_TRUE(enabled(ID_CHECK_ALL));
  EXPECT_TRUE(enabled(ID_APP_EXIT));
}

TEST_F(WindowTest, CloseIsRefusedDuringARunAndAllowedAfterIt) {
  test_support::HeldValidator validator(folderPath());
  writeSettings("SP Location=" + validator.path() + "\n");
  open();
  files->AddFile(writeFile("a.htm", "<p>a</p>\n"));
  document()->SetModifiedFlag(false);
  command(ID_CHECK_ALL);
  ASSERT_TRUE(frame->isChecking());

  wxTEST_DIALOG(frame->Close(), ExpectDialog<wxMessageDialog>([](wxMessageDialog* box) {
                  EXPECT_EQ(fromWx(box->GetMessage()), "検査中は終了できません");
                  EXPECT_EQ(fromWx(box->GetTitle()), "Tessavo");
                  return wxID_OK;
                }));
  pump();
  EXPECT_FALSE(wxTheApp->IsScheduledForDestruction(frame));
  EXPECT_TRUE(frame->IsShown());
  EXPECT_TRUE(frame->isChecking());

  validator.release();
  waitForRunEnd();
  EXPECT_TRUE(frame->Close());
  EXPECT_TRUE(wxTheApp->IsScheduledForDestruction(frame));
}

TEST_F(WindowTest, DestroyingTheWindowDuringARunWaitsForItWithoutDeadlock) {
  test_support::HeldValidator validator(folderPath());
  writeSettings("SP Location=" + validator.path() + "\n");
  open();
  for (int i = 0; i < 3; ++i) files->AddFile(writeFile("a" + std::to_string(i) + ".htm", "<p>\n"));
  command(ID_CHECK_ALL);
  ASSERT_TRUE(frame->isChecking());
  ASSERT_TRUE(waitUntil([&] { return validator.latestRun() > 0; }))
      << "the validator of the first target did not start";

  // What a close that cannot be refused does. The validator is let go once
  // the destruction is under way; a deadlock ends the test program with a
  // message instead of hanging it.
  std::atomic<bool> destroying{false};
  std::atomic<bool> destroyed{false};
  std::thread helper([&] {
    while (!destroying) std::this_thread::yield();
    validator.release();
    for (int waited = 0; !destroyed; ++waited) {
      if (waited == 30000) {
        std::fprintf(stderr, "destroying the window during a run did not end within 30 s\n");
        std::_Exit(1);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  destroying = true;
  app().discardWindow();
  destroyed = true;
  helper.join();
  frame = nullptr;
  // The run was waited for: no validator of it is left running.
  EXPECT_FALSE(processRuns(validator.latestRun()));
}

TEST_F(WindowTest, AnEditorOrBrowserThatCannotStartIsToldWithTheReason) {
  // The desktop's handler finds nothing to open with, as where no browser
  // is installed, and the editor is not there at all.
  const std::string bin = folderPath() + "bin/";
  writeFile("bin/xdg-open", "#!/bin/sh\necho 'no method available' >&2\nexit 3\n");
  std::filesystem::permissions(bin + "xdg-open", std::filesystem::perms::owner_all);
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  ::setenv("PATH", (bin + ":" + path).c_str(), 1);
  writeSettings("Editor=tessavo-no-such-editor %f\n");
  open();
  files->AddFile(writeFile("a.htm", "<p>\n"));
  files->selectLine(0);
  frame->setActivePane(files);

  DialogRecorder dialogs;
  frame->OnOpenEditor();
  EXPECT_TRUE(waitUntil([&] { return dialogs.shown.size() == 1; }));
  frame->OnOpenBrowser();
  EXPECT_TRUE(waitUntil([&] { return dialogs.shown.size() == 2; }));
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(dialogs.shown,
            (std::vector<std::string>{
                "Tessavo: エディタを起動できません: tessavo-no-such-editor: " +
                    platform::errorText(ENOENT),
                "Tessavo: ブラウザを起動できません: xdg-open: 終了コード 3 "
                "(開くためのプログラムが見つかりません)"}));
}

TEST_F(WindowTest, WindowRectangleIsWrittenOnDestroyAndReadBack) {
  open();
  frame->SetSize(40, 30, 500, 360);
  pump();
  close();
  const std::string written = settingsText();
  EXPECT_NE(written.find("left=40"), std::string::npos) << written;
  EXPECT_NE(written.find("top=30"), std::string::npos);
  EXPECT_NE(written.find("right=540"), std::string::npos);
  EXPECT_NE(written.find("bottom=390"), std::string::npos);
  open();
  EXPECT_EQ(frame->GetRect(), wxRect(40, 30, 500, 360));
}

TEST_F(WindowTest, StoredRectangleOutsideEveryDisplayOpensAtTheDefaultPosition) {
  writeSettings("left=20000\ntop=20000\nright=20400\nbottom=20300\nFileListPaneSizeY=60\n");
  open();
  EXPECT_EQ(frame->GetRect(), wxRect(0, 0, 400, 300));
  EXPECT_EQ(frame->splitter()->GetSashPosition(), 60);
}

TEST_F(WindowTest, ListFontHeightIsTheCharactersHeightInPixels) {
  open();
  const double dpi = wxGetDisplayPPI().GetHeight() > 0 ? wxGetDisplayPPI().GetHeight() : 96.0;
  // The default record asks for characters 13 pixels high: about 10 points
  // on a 96 dpi screen, not the 6 points of a font fitted into 13 pixels.
  EXPECT_NEAR(frame->listFont().GetFractionalPointSize(), 13 * 72 / dpi, 0.01);
  EXPECT_EQ(files->GetFont(), frame->listFont());
  for (const int height : {-9, -13, -16, -20, -32}) {
    LogFont record;
    record.height = height;
    const wxFont font = record.toWxFont();
    EXPECT_NEAR(font.GetFractionalPointSize(), -height * 72 / dpi, 0.01) << height;
    EXPECT_EQ(LogFont::fromWxFont(font, record).height, height);
  }
  // A positive height is the whole cell: the font fits into it.
  LogFont cell;
  cell.height = 20;
  const wxFont fitted = cell.toWxFont();
  int width = 0;
  int lineHeight = 0;
  frame->GetTextExtent("Xg", &width, &lineHeight, nullptr, nullptr, &fitted);
  EXPECT_LE(lineHeight, 20);
  EXPECT_GT(lineHeight, 12);
}

TEST_F(WindowTest, FontValueOfTheWrongLengthFallsBackToTheDefault) {
  // 59 bytes, base64 as the profile stores binary values.
  writeSettings("font=" + std::string(76, 'A') + "AA==\n");
  open();
  EXPECT_EQ(frame->listFontRecord().faceName, "FixedSys");
  EXPECT_EQ(frame->listFontRecord().height, -13);
}

TEST_F(WindowTest, FontDialogAppliesAndStoresTheRecord) {
  open();
  // A font whose characters are 20 pixels high on this screen.
  wxFont chosen(wxFontInfo(LogFont::pointsForHeight(-20)).Family(wxFONTFAMILY_TELETYPE).Bold());
  wxTEST_DIALOG(command(ID_SET_FONT), ExpectDialog<wxFontDialog>([&](wxFontDialog* dialog) {
                  dialog->GetFontData().SetChosenFont(chosen);
                  return wxID_OK;
                }));
  const int height = frame->listFontRecord().height;
  EXPECT_EQ(height, -20);
  EXPECT_EQ(frame->listFontRecord().weight, 700);
  EXPECT_EQ(files->GetFont(), frame->listFont());
  EXPECT_EQ(errors->GetFont(), frame->listFont());
  close();
  open();
  EXPECT_EQ(frame->listFontRecord().height, height);
  EXPECT_EQ(frame->listFontRecord().weight, 700);

  // Cancel changes nothing.
  wxTEST_DIALOG(command(ID_SET_FONT),
                ExpectDialog<wxFontDialog>([](wxFontDialog*) { return wxID_CANCEL; }));
  EXPECT_EQ(frame->listFontRecord().height, height);
}

TEST_F(WindowTest, TogglesShowTheirStateAndDropStartIsStoredAtOnce) {
  open();
  EXPECT_FALSE(checked(ID_DROP_START));
  command(ID_DROP_START);
  EXPECT_TRUE(checked(ID_DROP_START));
  EXPECT_NE(settingsText().find("DropStart=1"), std::string::npos);
  command(ID_DROP_START);
  EXPECT_FALSE(checked(ID_DROP_START));
  EXPECT_NE(settingsText().find("DropStart=0"), std::string::npos);

  EXPECT_TRUE(checked(ID_VIEW_BUTTONBAR));
  command(ID_VIEW_BUTTONBAR);
  EXPECT_FALSE(frame->buttonBar()->IsShown());
  EXPECT_FALSE(checked(ID_VIEW_BUTTONBAR));
  command(ID_VIEW_BUTTONBAR);
  EXPECT_TRUE(checked(ID_VIEW_BUTTONBAR));

  EXPECT_TRUE(checked(ID_VIEW_STATUS_BAR));
  command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(checked(ID_VIEW_STATUS_BAR));
}

}  // namespace

namespace {

void pressKey(wxWindow* window, int key) {
  wxKeyEvent event(wxEVT_CHAR_HOOK);
  event.m_keyCode = key;
  event.SetEventObject(window);
  window->ProcessWindowEvent(event);
}

TEST_F(WindowTest, PanesAndTheirBorderAnswerTheKeyboard) {
  open();
  EXPECT_EQ(frame->activePane(), files);
  command(ID_NEXT_PANE);
  EXPECT_EQ(frame->activePane(), errors);
  command(ID_PREV_PANE);
  EXPECT_EQ(frame->activePane(), files);

  const int start = frame->splitter()->GetSashPosition();
  command(ID_WINDOW_SPLIT);
  pressKey(frame, WXK_DOWN);
  pressKey(frame, WXK_DOWN);
  EXPECT_GT(frame->splitter()->GetSashPosition(), start);
  pressKey(frame, WXK_ESCAPE);
  EXPECT_EQ(frame->splitter()->GetSashPosition(), start);

  command(ID_WINDOW_SPLIT);
  pressKey(frame, WXK_UP);
  pressKey(frame, WXK_RETURN);
  const int moved = frame->splitter()->GetSashPosition();
  EXPECT_LT(moved, start);
  // Once the move has ended, the keys are the panes' again.
  pressKey(frame, WXK_UP);
  EXPECT_EQ(frame->splitter()->GetSashPosition(), moved);
}

}  // namespace
