// The two panes: order, ownership and width rules, and the error pane's
// safety against the checking thread.
#include <thread>

#include "ui/command_ids.h"
#include "window_fixture.h"

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
