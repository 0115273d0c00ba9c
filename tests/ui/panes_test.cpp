// The two panes: order, ownership and width rules, and the error pane's
// safety against the checking thread.
#include <fstream>
#include <thread>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/uiaction.h>

#include "tests/support/held_validator.h"
#include "ui/command_ids.h"
#include "ui/wx_text.h"
#include "window_fixture.h"
#include "window_manager.h"

namespace {

std::unique_ptr<ErrorItem> itemFor(CheckTarget* target, int line) {
  return std::make_unique<ErrorItem>(ErrorItem{target, line});
}

std::vector<std::string> fileLines(FileListView* pane) {
  std::vector<std::string> lines;
  for (long i = 0; i < pane->lineCount(); ++i) lines.push_back(pane->lineText(i));
  return lines;
}

TEST_F(WindowTest, FilePaneSortsWithoutRegardToCaseAndKeepsDuplicates) {
  open();
  for (const char* path : {"/d/b.htm", "/d/A.htm", "/d/c.htm", "/d/b.htm"}) files->AddFile(path);
  EXPECT_EQ(fileLines(files),
            (std::vector<std::string>{"/d/A.htm", "/d/b.htm", "/d/b.htm", "/d/c.htm"}));
  EXPECT_NE(files->target(1), files->target(2));
  EXPECT_EQ(files->shownLineCount(), 4);

  // The selection stays on its line when a line is inserted before it.
  files->selectLine(3);
  files->AddFile("/d/0.htm");
  EXPECT_EQ(files->selectedTarget()->location, "/d/c.htm");
}

TEST_F(WindowTest, RemovingATargetRemovesItsErrorLinesToo) {
  open();
  files->AddFile("/d/a.htm");
  files->AddUri("http://server/b.html");
  CheckTarget* a = files->target(0);
  CheckTarget* b = files->target(1);
  errors->AddLine("-------- /d/a.htm", itemFor(a, -1));
  errors->AddLine("a.htm:3:1:E: x", itemFor(a, 3));
  errors->AddLine("-------- http://server/b.html", itemFor(b, -1));
  errors->AddLine("検査終了", nullptr);
  errors->syncWithModel();
  document()->SetModifiedFlag(false);

  frame->setActivePane(files);
  files->selectLine(0);
  ASSERT_TRUE(enabled(ID_EDIT_CLEAR));
  command(ID_EDIT_CLEAR);

  EXPECT_EQ(fileLines(files), std::vector<std::string>{"http://server/b.html"});
  ASSERT_EQ(errors->lineCount(), 2);
  EXPECT_EQ(errors->lineText(0), "-------- http://server/b.html");
  EXPECT_EQ(errors->lineText(1), "検査終了");
  EXPECT_EQ(errors->shownLineCount(), 2);
  EXPECT_EQ(files->selectedLine(), -1);
  EXPECT_TRUE(document()->IsModified());
}

TEST_F(WindowTest, ClearLinesLetsThePaneStartNarrowAndRemovalNeverNarrowsIt) {
  open();
  files->AddFile("/d/" + std::string(300, 'x') + ".htm");
  files->AddFile("/d/a.htm");
  const int wide = files->horizontalExtent();
  EXPECT_GT(wide, files->GetClientSize().GetWidth());

  files->selectLine(1);  // the long line sorts after "/d/a.htm"
  files->RemoveSelected();
  EXPECT_EQ(files->horizontalExtent(), wide);

  files->ClearLines();
  EXPECT_EQ(files->horizontalExtent(), 0);
  files->AddFile("/d/a.htm");
  EXPECT_GT(files->horizontalExtent(), 0);
  EXPECT_LT(files->horizontalExtent(), wide / 10);

  errors->AddLine(std::string(300, 'e'), nullptr);
  errors->syncWithModel();
  EXPECT_GT(errors->horizontalExtent(), wide / 2);
  errors->ClearLines();
  EXPECT_EQ(errors->horizontalExtent(), 0);
}

TEST_F(WindowTest, LinesFromAnotherThreadArriveCompleteInOrder) {
  open();
  files->AddFile("/d/a.htm");
  CheckTarget* target = files->target(0);
  errors->AddLine("old", itemFor(target, 1));
  errors->syncWithModel();
  errors->selectLine(0);
  frame->setActivePane(errors);
  ASSERT_TRUE(errors->selectedItem());

  constexpr int kLines = 30000;
  std::thread writer([&] {
    errors->ClearLines();
    for (int i = 0; i < kLines; ++i) errors->AddLine(std::to_string(i), itemFor(target, i));
  });
  // While the clear is not yet shown, the old selection leads nowhere: its
  // item is gone.
  writer.join();
  EXPECT_FALSE(errors->selectedItem());
  EXPECT_FALSE(enabled(ID_OPEN_EDITOR));

  ASSERT_EQ(errors->lineCount(), kLines);
  for (int i = 0; i < kLines; i += 997) {
    EXPECT_EQ(errors->lineText(i), std::to_string(i));
    EXPECT_EQ(errors->item(i)->line, i);
  }
  EXPECT_TRUE(waitUntil([this] { return errors->shownLineCount() == kLines; }));
  EXPECT_EQ(errors->selectedLine(), -1);
}

}  // namespace

namespace {

// A double click as the list control reports it.
void doubleClick(ListBoxView* pane, long index) {
  wxListEvent event(wxEVT_LIST_ITEM_ACTIVATED, pane->GetId());
  event.m_itemIndex = index;
  event.SetEventObject(pane);
  pane->GetEventHandler()->ProcessEvent(event);
}

TEST_F(WindowTest, DoubleClicksOpenTheEditorOrCheckOnlyWhereTheyMay) {
  const std::string log = (folder / "editor.log").string();
  const std::string editor = writeFile("editor", "#!/bin/sh\necho \"$@\" >> " + log + "\n");
  std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
  test_support::HeldValidator validator(folderPath());
  writeSettings("Editor=" + editor + "\nSP Location=" + validator.path() + "\n");
  open();
  const std::string page = writeFile("a b.htm", "<p>\n");
  files->AddFile(page);
  files->AddUri("http://server/b.html");
  errors->AddLine("a b.htm:3:1:E: x", std::make_unique<ErrorItem>(ErrorItem{files->target(0), 3}));
  errors->AddLine("-------- http://server/b.html",
                  std::make_unique<ErrorItem>(ErrorItem{files->target(1), -1}));
  errors->AddLine("検査終了", nullptr);
  errors->syncWithModel();

  // A right click below the last line shows no menu (a menu would wait for
  // a person here) and keeps the selection.
  errors->selectLine(1);
  wxContextMenuEvent below(wxEVT_CONTEXT_MENU, errors->GetId(),
                           errors->ClientToScreen(wxPoint(5, errors->GetClientSize().y - 2)));
  below.SetEventObject(errors);
  errors->GetEventHandler()->ProcessEvent(below);
  EXPECT_EQ(errors->selectedLine(), 1);

  // The closing line and a line of an http target only select.
  doubleClick(errors, 2);
  EXPECT_EQ(errors->selectedLine(), 2);
  doubleClick(errors, 1);
  EXPECT_EQ(errors->selectedLine(), 1);
  // An error line of a local file opens it in the editor.
  doubleClick(errors, 0);
  ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(log); }));
  EXPECT_TRUE(waitUntil([&] {
    std::ifstream in(log);
    std::string line;
    return std::getline(in, line) && line == page;
  }));

  // A double click in the file pane checks that target, but not during a run
  // (the validator is held, so the run is still going).
  doubleClick(files, 0);
  ASSERT_TRUE(frame->isChecking());
  doubleClick(files, 1);
  EXPECT_EQ(files->selectedLine(), 1);
  validator.release();
  waitForRunEnd();
  EXPECT_EQ(errors->lineText(0), "-------- " + page);
  for (long i = 0; i < errors->lineCount(); ++i) {
    EXPECT_NE(errors->lineText(i), "-------- http://server/b.html");
  }
}

}  // namespace

namespace {

std::string clipboardText() {
  wxClipboardLocker clipboard;
  if (!clipboard || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT)) return std::string();
  wxTextDataObject data;
  wxTheClipboard->GetData(data);
  return fromWx(data.GetText());
}

void clearClipboard() {
  wxClipboardLocker clipboard;
  if (!!clipboard) wxTheClipboard->SetData(new wxTextDataObject("-"));
}

TEST_F(WindowTest, SelectedErrorLinesAreCopiedAsText) {
  std::string why;
  ASSERT_TRUE(ensureWindowManager(&why)) << why;
  open();
  files->AddFile("/d/a.htm");
  CheckTarget* target = files->target(0);
  errors->AddLine("-------- /d/a.htm", itemFor(target, -1));
  errors->AddLine("a.htm:3:1:E: 日本語", itemFor(target, 3));
  errors->AddLine("a.htm:9:2:E: y", itemFor(target, 9));
  errors->AddLine("検査終了", nullptr);
  errors->syncWithModel();
  frame->setActivePane(errors);

  EXPECT_FALSE(enabled(ID_EDIT_COPY)) << "nothing selected";
  // Shift and Ctrl extend the selection; the commands act on the line the
  // user selected last.
  errors->selectLine(1);
  errors->SetItemState(3, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  errors->SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  EXPECT_EQ(errors->selectedLines(), (std::vector<long>{1, 2, 3}));
  ASSERT_TRUE(errors->selectedItem());
  EXPECT_EQ(errors->selectedItem()->line, 9);
  EXPECT_TRUE(enabled(ID_OPEN_EDITOR));
  ASSERT_TRUE(enabled(ID_EDIT_COPY));

  clearClipboard();
  command(ID_EDIT_COPY);
  EXPECT_EQ(clipboardText(), "a.htm:3:1:E: 日本語\na.htm:9:2:E: y\n検査終了\n");

  // Ctrl+C in the pane, pressed for real.
  errors->selectLine(0);
  EXPECT_EQ(errors->selectedLines(), std::vector<long>{0});
  clearClipboard();
  frame->Raise();
  errors->SetFocus();
  ASSERT_TRUE(waitUntil([&] { return wxWindow::FindFocus() != nullptr && frame->IsActive(); }))
      << "the window did not get the focus";
  wxUIActionSimulator keyboard;
  keyboard.Char('c', wxMOD_CONTROL);
  EXPECT_TRUE(waitUntil([&] { return clipboardText() == "-------- /d/a.htm\n"; }))
      << "clipboard: " << clipboardText();
}

TEST_F(WindowTest, ErrorPaneFollowsTheNewestLineUntilScrolledAway) {
  open();
  frame->SetSize(0, 0, 600, 400);
  pump();
  for (int i = 0; i < 200; ++i) errors->AddLine("line " + std::to_string(i), nullptr);
  errors->syncWithModel();
  EXPECT_TRUE(errors->followsNewestLine());
  EXPECT_GE(errors->GetTopItem() + errors->GetCountPerPage(), 200);

  // Scrolled to the top, the pane stays there while lines come in.
  errors->EnsureVisible(0);
  pump();
  ASSERT_EQ(errors->GetTopItem(), 0);
  EXPECT_FALSE(errors->followsNewestLine());
  for (int i = 200; i < 400; ++i) errors->AddLine("line " + std::to_string(i), nullptr);
  errors->syncWithModel();
  EXPECT_EQ(errors->GetTopItem(), 0);

  // Back at the end, it follows again.
  errors->EnsureVisible(399);
  pump();
  for (int i = 400; i < 600; ++i) errors->AddLine("line " + std::to_string(i), nullptr);
  errors->syncWithModel();
  EXPECT_GE(errors->GetTopItem() + errors->GetCountPerPage(), 600);
}

}  // namespace
