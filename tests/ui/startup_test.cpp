// The program's start and the roads by which targets come in, through the
// real window under a display: dialogs answered by wxTEST_DIALOG, drops
// through the frame's drop target, and second starts of the real program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/config.h>
#include <wx/dirdlg.h>
#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/target_collection.h"
#include "tests/support/held_validator.h"
#include "tests/ui/startup_fixture.h"
#include "tests/ui/window_manager.h"
#include "ui/command_ids.h"
#include "ui/drop_target.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/file_selection_dialog.h"
#include "ui/frame_roads.h"
#include "ui/main_frame.h"
#include "ui/prev_instance.h"
#include "ui/select_uri_dlg.h"
#include "ui/status_line.h"
#include "ui/tessavo_app.h"
#include "ui/tessavo_doc.h"
#include "ui/working_set_dialog.h"
#include "ui/wx_text.h"

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

// A dialog of type T answered by `answer`, which may let events run first,
// as they do while a real dialog is up.
template <class T>
class Answer : public wxExpectModalBase<T, Answer<T>> {
 public:
  explicit Answer(std::function<int(T*)> answer) : answer_(std::move(answer)) {}

 protected:
  int OnInvoked(T* dialog) const override { return answer_(dialog); }

 private:
  std::function<int(T*)> answer_;
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
  ASSERT_TRUE(pumpUntil([&] { return !frame->isChecking(); }, 20000))
      << "the check did not end within 20 s";
  // The end-of-run event has been handled once the closing line is shown.
  ASSERT_TRUE(pumpUntil([&] {
    return frame->errorPane()->shownLineCount() == frame->errorPane()->lineCount();
  })) << "the error pane did not show the whole run";
}

// The header lines of the last run, in order.
Lines checkedTargets(CMainFrame* frame) {
  Lines checked;
  for (long i = 0; i < frame->errorPane()->lineCount(); ++i) {
    const std::string line = frame->errorPane()->lineText(i);
    if (line.rfind("-------- ", 0) == 0) checked.push_back(line.substr(9));
  }
  return checked;
}

// A second start with `arguments` whose hand-over asks the question about
// unsaved changes, answered with `answer`; the question's text. The
// hand-over has been dealt with when this returns.
wxString secondStartAnswered(const Documents& docs, const std::vector<std::string>& arguments,
                             int answer) {
  wxString question;
  wxTEST_DIALOG(
      {
        EXPECT_EQ(runSecondStart(docs.root(), arguments), 0);
        EXPECT_TRUE(pumpUntil([&] { return !question.empty(); })) << "no question came";
      },
      ExpectMessage(answer, &question));
  return question;
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
  ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 2; }))
      << "the hand-over did not arrive";
  ASSERT_TRUE(frame->isChecking());
  EXPECT_EQ(frame->filePane()->targets(), read) << "the run's targets stay as they were";
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), StatusLine::waitingText(2));

  // The drop replaces the set, which is then changed: the hand-over asks
  // before it makes a new set of the handed-over file alone.
  wxString question;
  wxTEST_DIALOG(
      {
        validator.release();
        ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 0; }))
            << "the arrivals were not applied after the run";
      },
      ExpectMessage(wxID_NO, &question));
  EXPECT_NE(question.find(wxString::FromUTF8("変更を保存しますか")), wxNOT_FOUND);
  EXPECT_EQ(fileLines(frame), Lines{docs("c.txt")});
  EXPECT_FALSE(modified(frame));
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), wxString::FromUTF8("ﾚﾃﾞｨ"));

  // A working set handed over during a run waits as well, then opens (the
  // program's own arguments come back, as after every Open).
  validator.hold();
  frame->StartCheck(CMainFrame::CheckScope::All);
  ASSERT_TRUE(frame->isChecking());
  EXPECT_EQ(runSecondStart(docs.root(), {"set.tvx"}), 0);
  ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 1; }))
      << "the hand-over did not arrive";
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), StatusLine::waitingText(1));
  EXPECT_TRUE(frame->document()->GetFilename().empty());
  validator.release();
  waitForCheck(frame);
  ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 0; }));
  EXPECT_EQ(fileLines(frame), (Lines{docs("a.htm"), docs("tree/x.HTML"), "http://h/s"}));
  EXPECT_EQ(fromWx(frame->document()->GetFilename()), docs("set.tvx"));
  EXPECT_FALSE(modified(frame));
}

TEST(StartupRoads, HandOverDuringNewOrOpenWaitsForTheCommand) {
  const Documents docs("hand-over-in-dialog");
  // Holds the check that the hand-over starts, so that it would still run
  // when the command goes on.
  test_support::HeldValidator validator(scratch() + "work/");
  writeProfile("[Settings]\nDropStart=1\nSP Location=" + validator.path() + "\n");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  bool checkedInDialog = false;
  const auto handOver = [&] {
    EXPECT_EQ(runSecondStart(docs.root(), {"a.htm"}), 0);
    EXPECT_TRUE(pumpUntil([&] {
      return frame->targetCollection().waiting() == 1 || checkStarted(frame);
    })) << "the hand-over did not arrive";
    checkedInDialog = frame->isChecking();
  };
  // The hand-over comes after the command: it replaces the set and is checked.
  const auto handedOverAfterwards = [&] {
    EXPECT_FALSE(checkedInDialog) << "the hand-over started a check inside the command";
    ASSERT_TRUE(pumpUntil([&] { return frame->targetCollection().waiting() == 0; }));
    EXPECT_TRUE(frame->isChecking());
    EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
    validator.release();
    waitForCheck(frame);
    validator.hold();
  };

  // Open's file dialog, answered with a working set.
  wxTEST_DIALOG(
      {
        wxCommandEvent open(wxEVT_MENU, ID_FILE_OPEN);
        frame->ProcessWindowEvent(open);
      },
      Answer<WorkingSetDialog>([&](WorkingSetDialog* dialog) {
        handOver();
        dialog->choose(toWx(docs("set.tvx")));
        return wxID_OK;
      }));
  handedOverAfterwards();

  // New's question about unsaved changes.
  frame->filePane()->AddUri("http://h/changed");
  wxTEST_DIALOG(
      {
        wxCommandEvent fresh(wxEVT_MENU, ID_FILE_NEW);
        frame->ProcessWindowEvent(fresh);
      },
      Answer<wxMessageDialog>([&](wxMessageDialog*) {
        handOver();
        return wxID_NO;
      }));
  handedOverAfterwards();
}

TEST(SecondStart, HandsOverItsFirstArgumentOnly) {
  std::string why;
  ASSERT_TRUE(ensureWindowManager(&why)) << why;
  const Documents docs("hand-over");
  test_support::HeldValidator validator(scratch() + "work/");
  validator.release();
  writeProfile("[Settings]\nDropStart=1\nSP Location=" + validator.path() + "\n");
  // The first instance's own argument is not part of what a hand-over makes.
  CMainFrame* frame = openWindow({docs("b.htm")});
  ASSERT_NE(frame, nullptr);
  waitForCheck(frame);
  ASSERT_EQ(fileLines(frame), Lines{docs("b.htm")});

  // A relative path is made absolute in the folder of the second start. The
  // handed-over file replaces the set and is checked.
  EXPECT_EQ(runSecondStart(docs.root(), {"a.htm", "c.txt"}), 0);
  ASSERT_TRUE(pumpUntil([&] { return checkedTargets(frame) == Lines{docs("a.htm")}; }))
      << "the handed-over file was not checked";
  waitForCheck(frame);
  EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
  EXPECT_FALSE(modified(frame));
  EXPECT_TRUE(frame->IsShown());

  // Without arguments the window is only raised: a minimised window comes
  // back.
  frame->Iconize(true);
  ASSERT_TRUE(pumpUntil([&] { return frame->IsIconized(); }))
      << "the window manager did not minimise the window";
  EXPECT_EQ(runSecondStart(docs.root(), {}), 0);
  EXPECT_TRUE(pumpUntil([&] { return !frame->IsIconized(); }))
      << "the second start did not restore the window";
  EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
  EXPECT_FALSE(modified(frame));
}

TEST(SecondStart, HandedOverFileAsksBeforeReplacingUnsavedChanges) {
  const Documents docs("hand-over-changed");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);
  frame->filePane()->AddUri("http://h/unsaved");

  // "Cancel" keeps the set and drops the hand-over.
  const wxString question = secondStartAnswered(docs, {"a.htm"}, wxID_CANCEL);
  EXPECT_NE(question.find(wxString::FromUTF8("変更を保存しますか")), wxNOT_FOUND);
  EXPECT_EQ(fileLines(frame), Lines{"http://h/unsaved"});
  EXPECT_TRUE(modified(frame));
  EXPECT_EQ(frame->targetCollection().waiting(), 0u);

  // "No" discards the changes and takes the file.
  EXPECT_FALSE(secondStartAnswered(docs, {"a.htm"}, wxID_NO).empty());
  EXPECT_EQ(fileLines(frame), Lines{docs("a.htm")});
  EXPECT_FALSE(modified(frame));

  // A set without changes is replaced without a question.
  EXPECT_EQ(runSecondStart(docs.root(), {"b.htm"}), 0);
  EXPECT_TRUE(pumpUntil([&] { return fileLines(frame) == Lines{docs("b.htm")}; }));
}

TEST(SecondStart, HandsOverAWorkingSetThatOpensLikeOpen) {
  const Documents docs("hand-over-set");
  writeProfile("");
  CMainFrame* frame = openWindow({});
  ASSERT_NE(frame, nullptr);

  // With unsaved changes the usual question comes first; "no" discards them.
  frame->filePane()->AddUri("http://h/unsaved");
  const wxString question = secondStartAnswered(docs, {docs("set.tvx")}, wxID_NO);
  EXPECT_NE(question.find(wxString::FromUTF8("変更を保存しますか")), wxNOT_FOUND);
  ASSERT_TRUE(pumpUntil([&] { return fileLines(frame).size() == 2; }));
  EXPECT_EQ(fileLines(frame), (Lines{docs("tree/x.HTML"), "http://h/s"}));
  EXPECT_EQ(fromWx(frame->document()->GetFilename()), docs("set.tvx"));
  EXPECT_EQ(fromWx(frame->document()->GetTitle()), "set.tvx");
  EXPECT_FALSE(modified(frame));
  EXPECT_EQ(fromWx(frame->GetDocumentManager()->GetFileHistory()->GetHistoryFile(0)),
            docs("set.tvx"));

  // "Cancel" keeps the working set as it is.
  frame->filePane()->AddUri("http://h/keep");
  EXPECT_FALSE(secondStartAnswered(docs, {"set.tvx"}, wxID_CANCEL).empty());
  EXPECT_EQ(fileLines(frame).size(), 3u);
  EXPECT_TRUE(modified(frame));
  frame->document()->SetModifiedFlag(false);
}

TEST(StartWithABadWorkingSet, EndsWithoutCrashing) {
  std::string why;
  ASSERT_TRUE(ensureWindowManager(&why)) << why;
  const Documents docs("bad-start");
  writeFile(docs("unsigned.tvx"), "file\t" + docs("a.htm") + "\n");
  // A runtime folder of their own: these starts must not hand over to this
  // test program, which holds the lock of the test's folder.
  const std::string runtime = scratch() + "run-alone";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  const std::vector<std::string> alone = {"XDG_RUNTIME_DIR=" + runtime};

  // Without the signature line the program ends at once, silently.
  EXPECT_EQ(runProgram(docs.root(), {"unsigned.tvx"}, alone), 1);

  // A file that is not there is told in a message box; once it is closed,
  // the program ends.
  wxUIActionSimulator keyboard;
  auto lastPress = std::chrono::steady_clock::now();
  const auto pressEnter = [&] {
    if (std::chrono::steady_clock::now() - lastPress < std::chrono::milliseconds(200)) return;
    keyboard.Char(WXK_RETURN);
    lastPress = std::chrono::steady_clock::now();
  };
  EXPECT_EQ(runProgram(docs.root(), {"nothere.tvx"}, alone, pressEnter), 1);

  // A FIFO as the working set, or as the settings file, is never waited on:
  // the one is told as not opened, the other read as no settings.
  ASSERT_EQ(::mkfifo(docs("fifo.tvx").c_str(), 0600), 0);
  EXPECT_EQ(runProgram(docs.root(), {"fifo.tvx"}, alone, pressEnter), 1);
  const std::string config = scratch() + "fifo-config/";
  std::filesystem::create_directories(config + "Marrowby");
  ASSERT_EQ(::mkfifo((config + "Marrowby/Tessavo.conf").c_str(), 0600), 0);
  std::vector<std::string> fifoSettings = alone;
  fifoSettings.push_back("XDG_CONFIG_HOME=" + config);
  EXPECT_EQ(runProgram(docs.root(), {"unsigned.tvx"}, fifoSettings), 1);
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
