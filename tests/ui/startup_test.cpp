// The program's start and the roads by which targets come in, through the
// real window under a display: dialogs answered by wxTEST_DIALOG, drops
// through the frame's drop target, and second starts of the real program.
#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/dirdlg.h>
#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/target_collection.h"
#include "tests/support/held_validator.h"
#include "tests/ui/startup_fixture.h"
#include "ui/command_ids.h"
#include "ui/drop_target.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/file_selection_dialog.h"
#include "ui/frame_roads.h"
#include "ui/main_frame.h"
#include "ui/prev_instance.h"
#include "ui/select_uri_dlg.h"
#include "ui/tessavo_app.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"
#include "viewers/process_starter.h"

using namespace startup_test;

// The folder dialog answered with a folder. The native dialog reports only
// what was chosen in it, so the answer goes where wx keeps the result.
class DirDialogResult : public wxDirDialogBase {
 public:
  static void set(wxDirDialog* dialog, const wxString& path) {
    dialog->*(&DirDialogResult::m_path) = path;
  }
};

template <>
class wxExpectModal<wxDirDialog> : public wxExpectModalBase<wxDirDialog> {
 public:
  explicit wxExpectModal(const std::string& path, int id = wxID_OK, wxString* title = nullptr)
      : path_(path), id_(id), title_(title) {}

 protected:
  int OnInvoked(wxDirDialog* dialog) const override {
    if (title_ != nullptr) *title_ = dialog->GetMessage();
    DirDialogResult::set(dialog, toWx(path_));
    return id_;
  }

 private:
  std::string path_;
  int id_;
  wxString* title_;
};

// The file dialog with files chosen, or cancelled.
template <>
class wxExpectModal<FileSelectionDialog> : public wxExpectModalBase<FileSelectionDialog> {
 public:
  explicit wxExpectModal(std::vector<std::string> paths, int id = wxID_OK)
      : paths_(std::move(paths)), id_(id) {}

 protected:
  int OnInvoked(FileSelectionDialog* dialog) const override {
    dialog->choose(paths_);
    return id_;
  }

 private:
  std::vector<std::string> paths_;
  int id_;
};

// The URI dialog with a text typed and OK or cancel pressed.
template <>
class wxExpectModal<SelectUriDlg> : public wxExpectModalBase<SelectUriDlg> {
 public:
  explicit wxExpectModal(const std::string& text, int id = wxID_OK) : text_(text), id_(id) {}

 protected:
  int OnInvoked(SelectUriDlg* dialog) const override {
    dialog->uriField()->SetValue(toWx(text_));
    if (id_ == wxID_OK) dialog->TransferDataFromWindow();
    return id_;
  }

 private:
  std::string text_;
  int id_;
};

namespace {

using Lines = std::vector<std::string>;

// A message box, answered with `answer`; its text is kept in `seen`.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
 public:
  ExpectMessage(int answer, wxString* seen) : answer_(answer), seen_(seen) {}

 protected:
  int OnInvoked(wxMessageDialog* dialog) const override {
    *seen_ = dialog->GetMessage();
    return answer_;
  }

 private:
  int answer_;
  wxString* seen_;
};

class RecordingOpener : public ShellOpener {
 public:
  bool open(const std::string& location) override {
    opened.push_back(location);
    return succeed;
  }
  std::vector<std::string> opened;
  bool succeed = true;
};

// A folder of documents for one test.
class Documents {
 public:
  explicit Documents(const std::string& name) : root_(scratch() + "work/" + name + "/") {
    std::filesystem::remove_all(root_);
    for (const char* file : {"a.htm", "b.htm", "c.txt", "tree/x.HTML", "tree/y.txt",
                             "tree/sub/z.shtml", "plain/readme.txt"}) {
      writeFile(root_ + file, "<p>x</p>\n");
    }
    writeFile(root_ + "tree/link.url", "[InternetShortcut]\r\nURL=http://h/link\r\n");
    writeFile(root_ + "set.tvx", "tvx1\nfile\t" + root_ + "tree/x.HTML\nhttp\thttp://h/s\n");
  }
  std::string operator()(const std::string& name) const { return root_ + name; }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

bool modified(CMainFrame* frame) {
  return frame->document()->IsModified();
}

void setDropStart(CMainFrame* frame, bool on) {
  if (frame->dropStart() != on) {
    wxCommandEvent toggle(wxEVT_MENU, ID_DROP_START);
    frame->ProcessWindowEvent(toggle);
  }
}

// Whether a check was started: its run writes the header line at once.
bool checkStarted(CMainFrame* frame) {
  return frame->isChecking() || frame->errorPane()->lineCount() > 0;
}

void waitForCheck(CMainFrame* frame) {
  pumpUntil([&] { return !frame->isChecking(); }, 20000);
  pumpFor(20);
}

TEST(StartupRoads, FileDialogAddsTheChosenFileAndStarts) {
  const Documents docs("file-dialog");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  // In the dialog's order; the pane sorts its lines.
  wxTEST_DIALOG(frame->OnSelectFiles(),
                wxExpectModal<FileSelectionDialog>({docs("c.txt"), docs("b.htm")}));
  EXPECT_EQ(fileLines(frame), (Lines{docs("b.htm"), docs("c.txt")}));
  EXPECT_TRUE(modified(frame));
  EXPECT_FALSE(checkStarted(frame));

  setDropStart(frame, true);
  wxTEST_DIALOG(frame->OnSelectFiles(), wxExpectModal<FileSelectionDialog>({docs("a.htm")}));
  EXPECT_EQ(fileLines(frame), (Lines{docs("a.htm"), docs("b.htm"), docs("c.txt")}));
  EXPECT_TRUE(checkStarted(frame));
  waitForCheck(frame);

  // Cancel changes nothing.
  frame->document()->SetModifiedFlag(false);
  wxTEST_DIALOG(frame->OnSelectFiles(),
                wxExpectModal<FileSelectionDialog>({docs("c.txt")}, wxID_CANCEL));
  EXPECT_EQ(fileLines(frame).size(), 3u);
  EXPECT_FALSE(modified(frame));
  setDropStart(frame, false);
}

TEST(StartupRoads, FolderDialogScansTheFolder) {
  const Documents docs("folder-dialog");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  wxString title;
  wxTEST_DIALOG(frame->OnSelectFolder(), wxExpectModal<wxDirDialog>(docs("tree"), wxID_OK, &title));
  EXPECT_EQ(title, wxString::FromUTF8("検査するフォルダ"));
  EXPECT_EQ(fileLines(frame),
            (Lines{docs("tree/sub/z.shtml"), docs("tree/x.HTML"), "http://h/link"}));
  EXPECT_TRUE(modified(frame));
  EXPECT_FALSE(checkStarted(frame));

  frame->document()->SetModifiedFlag(false);
  wxTEST_DIALOG(frame->OnSelectFolder(), wxExpectModal<wxDirDialog>(docs("tree"), wxID_CANCEL));
  EXPECT_EQ(fileLines(frame).size(), 3u);
  EXPECT_FALSE(modified(frame));

  setDropStart(frame, true);
  wxTEST_DIALOG(frame->OnSelectFolder(), wxExpectModal<wxDirDialog>(docs("plain/")));
  EXPECT_TRUE(modified(frame));
  EXPECT_TRUE(checkStarted(frame));
  waitForCheck(frame);
  setDropStart(frame, false);
}

TEST(StartupRoads, UriDialogClearsErrorsButNeverStarts) {
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  setDropStart(frame, true);
  frame->errorPane()->AddLine("an old error", nullptr);
  ASSERT_EQ(frame->errorPane()->lineCount(), 1);
  wxTEST_DIALOG(frame->OnAddUri(), wxExpectModal<SelectUriDlg>("http://example.com/"));
  EXPECT_EQ(fileLines(frame), Lines{"http://example.com/"});
  EXPECT_EQ(frame->errorPane()->lineCount(), 0);
  EXPECT_TRUE(modified(frame));
  EXPECT_FALSE(frame->isChecking());

  frame->document()->SetModifiedFlag(false);
  wxTEST_DIALOG(frame->OnAddUri(), wxExpectModal<SelectUriDlg>("http://x/", wxID_CANCEL));
  EXPECT_EQ(fileLines(frame).size(), 1u);
  EXPECT_FALSE(modified(frame));
  setDropStart(frame, false);
}

TEST(StartupRoads, DropReplacesTheWorkingSet) {
  const Documents docs("drop");
  writeProfile("");
  CMainFrame* frame = openWindow({docs("a.htm")});
  ASSERT_NE(frame, nullptr);
  wxDropTarget* target = frame->GetDropTarget();
  ASSERT_NE(target, nullptr) << "the main window accepts drops";
  auto* drop = static_cast<MainDropTarget*>(target);
  frame->errorPane()->AddLine("an old error", nullptr);

  wxArrayString dropped;
  dropped.Add(toWx(docs("c.txt")));
  dropped.Add(toWx(docs("tree")));
  EXPECT_TRUE(drop->OnDropFiles(0, 0, dropped));
  EXPECT_EQ(fileLines(frame),
            (Lines{docs("c.txt"), docs("tree/sub/z.shtml"), docs("tree/x.HTML"), "http://h/link"}));
  EXPECT_EQ(frame->errorPane()->lineCount(), 0);
  EXPECT_TRUE(modified(frame));

  // A folder without HTML files empties both panes; the flag stays.
  for (const bool before : {false, true}) {
    frame->document()->SetModifiedFlag(before);
    wxArrayString plain;
    plain.Add(toWx(docs("plain")));
    drop->OnDropFiles(0, 0, plain);
    EXPECT_TRUE(fileLines(frame).empty());
    EXPECT_EQ(modified(frame), before);
  }
}

TEST(StartupRoads, CommandLineFilesComeBackAtEveryNew) {
  const Documents docs("command-line");
  writeProfile("");
  CMainFrame* frame = openWindow({docs("b.htm"), docs("a.htm")});
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(fileLines(frame), (Lines{docs("a.htm"), docs("b.htm")}));
  EXPECT_FALSE(modified(frame));

  frame->filePane()->AddUri("http://h/");
  ASSERT_TRUE(modified(frame));
  wxString question;
  wxTEST_DIALOG(
      {
        wxCommandEvent command(wxEVT_MENU, ID_FILE_NEW);
        frame->ProcessWindowEvent(command);
      },
      ExpectMessage(wxID_NO, &question));
  EXPECT_EQ(fileLines(frame), (Lines{docs("a.htm"), docs("b.htm")}));
  EXPECT_FALSE(modified(frame));
}

TEST(StartupRoads, CommandLineWorkingSetOnlyAsFirstArgument) {
  const Documents docs("start-set");
  writeFile(docs("set.TVX"), "tvx1\nfile\t" + docs("a.htm") + "\n");
  writeProfile("");
  // The extension is compared without regard to case.
  CMainFrame* frame = openWindow({docs("set.TVX")});
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
  EXPECT_EQ(fromWx(frame->document()->GetFilename()), docs("set.TVX"));
  EXPECT_EQ(fromWx(frame->document()->GetTitle()), "set.TVX");
  EXPECT_FALSE(modified(frame));

  frame = openWindow({docs("a.htm"), docs("set.tvx")});
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
  EXPECT_TRUE(frame->document()->GetFilename().empty());
  EXPECT_FALSE(modified(frame));
}

TEST(StartupRoads, DropAndHandOverDuringACheckWaitForItsEnd) {
  const Documents docs("during-check");
  // Runs until the test lets it end, so that the check is still running
  // when the drop and the hand-over arrive.
  test_support::HeldValidator validator(scratch() + "work/");
  writeProfile("[Settings]\nSP Location=" + validator.path() + "\n");
  CMainFrame* frame = openWindow({docs("a.htm")});
  ASSERT_NE(frame, nullptr);
  frame->StartCheck(CMainFrame::CheckScope::All);
  ASSERT_TRUE(frame->isChecking());
  const std::vector<CheckTarget*> read = frame->filePane()->targets();

  wxArrayString dropped;
  dropped.Add(toWx(docs("b.htm")));
  static_cast<MainDropTarget*>(frame->GetDropTarget())->OnDropFiles(0, 0, dropped);
  EXPECT_EQ(runSecondStart(docs.root(), {"c.txt"}), 0);
  pumpFor(50);
  ASSERT_TRUE(frame->isChecking());
  EXPECT_EQ(frame->filePane()->targets(), read) << "the run's targets stay as they were";
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), waitingText(2));

  validator.release();
  waitForCheck(frame);
  ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 0; }));
  // The drop replaced the set, then the hand-over made a new one: the
  // program's own arguments and the handed-over file.
  EXPECT_EQ(fileLines(frame), (Lines{docs("a.htm"), docs("c.txt")}));
  EXPECT_FALSE(modified(frame));
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), wxString::FromUTF8("ﾚﾃﾞｨ"));

  // A working set handed over during a run waits as well, then opens (the
  // program's own arguments come back, as after every Open).
  validator.hold();
  frame->StartCheck(CMainFrame::CheckScope::All);
  ASSERT_TRUE(frame->isChecking());
  EXPECT_EQ(runSecondStart(docs.root(), {"set.tvx"}), 0);
  pumpFor(50);
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), waitingText(1));
  EXPECT_TRUE(frame->document()->GetFilename().empty());
  validator.release();
  waitForCheck(frame);
  ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 0; }));
  EXPECT_EQ(fileLines(frame), (Lines{docs("a.htm"), docs("tree/x.HTML"), "http://h/s"}));
  EXPECT_EQ(fromWx(frame->document()->GetFilename()), docs("set.tvx"));
  EXPECT_FALSE(modified(frame));
}

TEST(SecondStart, HandsOverItsFirstArgumentOnly) {
  const Documents docs("hand-over");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  frame->filePane()->AddUri("http://h/old");

  // A relative path is made absolute in the folder of the second start.
  EXPECT_EQ(runSecondStart(docs.root(), {"a.htm", "b.htm"}), 0);
  ASSERT_TRUE(pumpUntil([&] { return fileLines(frame) == Lines{docs("a.htm")}; }));
  EXPECT_FALSE(modified(frame));
  EXPECT_TRUE(frame->IsShown());

  // Without arguments the window is only raised.
  frame->Iconize(true);
  EXPECT_EQ(runSecondStart(docs.root(), {}), 0);
  pumpUntil([&] { return !frame->IsIconized(); }, 3000);
  EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
  EXPECT_FALSE(modified(frame));
}

TEST(SecondStart, HandsOverAWorkingSetThatOpensLikeOpen) {
  const Documents docs("hand-over-set");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);

  // With unsaved changes the usual question comes first; "no" discards them.
  frame->filePane()->AddUri("http://h/unsaved");
  wxString question;
  wxTEST_DIALOG(
      {
        EXPECT_EQ(runSecondStart(docs.root(), {docs("set.tvx")}), 0);
        pumpUntil([&] { return !question.empty(); });
      },
      ExpectMessage(wxID_NO, &question));
  EXPECT_NE(question.find(wxString::FromUTF8("変更を保存しますか")), wxNOT_FOUND);
  ASSERT_TRUE(pumpUntil([&] { return !fileLines(frame).empty(); }));
  EXPECT_EQ(fileLines(frame), (Lines{docs("tree/x.HTML"), "http://h/s"}));
  EXPECT_EQ(fromWx(frame->document()->GetFilename()), docs("set.tvx"));
  EXPECT_EQ(fromWx(frame->document()->GetTitle()), "set.tvx");
  EXPECT_FALSE(modified(frame));
  EXPECT_EQ(fromWx(frame->GetDocumentManager()->GetFileHistory()->GetHistoryFile(0)),
            docs("set.tvx"));

  // "Cancel" keeps the working set as it is.
  frame->filePane()->AddUri("http://h/keep");
  question.clear();
  wxTEST_DIALOG(
      {
        EXPECT_EQ(runSecondStart(docs.root(), {"set.tvx"}), 0);
        pumpUntil([&] { return !question.empty(); });
      },
      ExpectMessage(wxID_CANCEL, &question));
  pumpFor(50);
  EXPECT_EQ(fileLines(frame).size(), 3u);
  EXPECT_TRUE(modified(frame));
  frame->document()->SetModifiedFlag(false);
}

TEST(StartupHelp, OpensIndexHtmWhateverItsCase) {
  const std::string folder = scratch() + "work/help/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder + "index.htm.d");
  RecordingOpener opener;
  app().setHelpOpener(&opener);
  app().setHelpFolder(folder);

  wxString message;
  wxTEST_DIALOG(app().showHelp(), ExpectMessage(wxID_OK, &message));
  EXPECT_EQ(message, wxString::FromUTF8("ヘルプ（HTML）ファイルが見つかりません。実行ファイルと同"
                                        "じフォルダに置いてください。"));
  EXPECT_TRUE(opener.opened.empty());

  writeFile(folder + "Index.HTM", "<html></html>");
  app().showHelp();
  EXPECT_EQ(opener.opened, std::vector<std::string>{folder + "Index.HTM"});

  opener.succeed = false;
  wxTEST_DIALOG(app().showHelp(), ExpectMessage(wxID_OK, &message));
  EXPECT_EQ(message, wxString::FromUTF8("ヘルプ (HTML) ファイルを開けません"));

  // The menu's help command ends in the same place; the build puts the page
  // beside the programs.
  opener.succeed = true;
  opener.opened.clear();
  app().setHelpFolder(std::string());
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  wxCommandEvent help(wxEVT_MENU, ID_HELP);
  frame->ProcessWindowEvent(help);
  EXPECT_EQ(opener.opened, std::vector<std::string>{TESSAVO_BINARY_DIR "/bin/index.htm"});
  app().setHelpOpener(&systemShellOpener());
}

TEST(StartupSettings, ReadFromTheProfilesSettingsSection) {
  writeProfile(
      "[Settings]\n"
      "DropStart=1\n"
      "Editor=gedit +%l %f\n"
      "SP Location=/opt/sp/bin/nsgmls\n"
      "Browser=2\n"
      "[Recent File List]\n"
      "File1=/w/one.tvx\n"
      "File2=/w/two.tvx\n");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->dropStart());
  EXPECT_EQ(frame->editorCommand(), "gedit +%l %f");
  EXPECT_EQ(frame->validatorPath(), "/opt/sp/bin/nsgmls");
  EXPECT_EQ(frame->browserChoice(), 2);
  wxFileHistory* history = frame->GetDocumentManager()->GetFileHistory();
  ASSERT_EQ(history->GetCount(), 2u);
  EXPECT_EQ(history->GetHistoryFile(0), "/w/one.tvx");
  EXPECT_EQ(history->GetMaxFiles(), 4);

  // A setting outside the section is not one.
  writeProfile("DropStart=1\nEditor=other\n");
  frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->dropStart());
  EXPECT_NE(frame->editorCommand(), "other");
}

}  // namespace
