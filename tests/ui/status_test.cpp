// The status bar during and after a check: the progress of the run, its
// summary, and the idle text once the user moves on.
#include <wx/menu.h>

#include "tests/support/held_validator.h"
#include "ui/command_ids.h"
#include "ui/run_status_text.h"
#include "window_fixture.h"

namespace {

TEST(RunStatusText, CountsTargetsAndNamesTheOneBeingChecked) {
  ErrListModel::Progress progress;
  progress.targets = 12;
  progress.location = "/d/日本語/a.htm";
  EXPECT_EQ(runProgressText(progress, 205), "検査中 12/205: /d/日本語/a.htm");
}

TEST(ErrListModelProgress, HeadersStartTargetsAndLinesWithItemsCount) {
  ErrListModel model;
  CheckTarget a{TargetKind::File, "/d/a.htm"};
  CheckTarget b{TargetKind::Http, "http://h/b"};
  CheckTarget c{TargetKind::File, "/d/c.htm"};
  auto item = [](CheckTarget* target, int line) {
    return std::make_unique<ErrorItem>(ErrorItem{target, line});
  };
  model.add("-------- /d/a.htm", item(&a, -1));
  model.add("3:1:E: x", item(&a, 3));
  model.add("4:1:E: y", item(&a, 4));
  model.add("-------- http://h/b", item(&b, -1));
  model.add("E: 入力ファイルを開けない", item(&b, -1));  // a preparation failure
  model.add("-------- /d/c.htm", item(&c, -1));
  ErrListModel::Progress progress = model.progress();
  EXPECT_EQ(progress.targets, 3);
  EXPECT_EQ(progress.targetsWithLines, 2);
  EXPECT_EQ(progress.lines, 3);
  EXPECT_EQ(progress.location, "/d/c.htm");
  model.add("検査終了", nullptr);
  EXPECT_EQ(model.progress().lines, 3) << "a line without an item belongs to no target";

  model.clear();
  progress = model.progress();
  EXPECT_EQ(progress.targets, 0);
  EXPECT_EQ(progress.lines, 0);
}

TEST(ErrListModelLimit, PastTheLimitOneLineSaysSoAndOnlyLinesWithoutAnItemFollow) {
  ErrListModel model(3);
  CheckTarget a{TargetKind::File, "/d/a.htm"};
  for (int i = 0; i < 100; ++i) {
    model.add(i == 0 ? "-------- /d/a.htm" : std::to_string(i) + ":1:E: x",
              std::make_unique<ErrorItem>(ErrorItem{&a, i == 0 ? -1 : i}));
  }
  model.add("検査終了", nullptr);
  ASSERT_EQ(model.size(), 5);
  EXPECT_EQ(model.text(2), "2:1:E: x");
  EXPECT_EQ(model.text(3), "E: 行が多すぎるので、以降の行は表示しない: 上限 3 行");
  EXPECT_FALSE(model.item(3));
  EXPECT_EQ(model.text(4), "検査終了");
  EXPECT_EQ(model.progress().lines, 99) << "every line the run wrote counts";

  model.clear();
  model.add("-------- /d/a.htm", std::make_unique<ErrorItem>(ErrorItem{&a, -1}));
  EXPECT_EQ(model.size(), 1) << "a clear starts below the limit again";
}

// Three documents, the second with an error; the run is held in the
// validator of the second, then let go.
class StatusDuringARun : public WindowTest {
 protected:
  void startHeldRun(test_support::HeldValidator& validator) {
    // One validator at a time: the run is held on the second document with
    // the third not yet taken up.
    writeSettings("Jobs=1\nSP Location=" + validator.path() + "\n");
    open();
    for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
      files->AddFile(writeFile(name, "<!DOCTYPE p SYSTEM \"p.dtd\">\n<p>\n"));
    }
    command(ID_CHECK_ALL);
    ASSERT_TRUE(frame->isChecking());
  }
};

TEST_F(StatusDuringARun, ShowsTheTargetBeingCheckedThenTheSummary) {
  // The validator stand-in writes one error line for every document; it
  // lets the first run through and holds the second.
  const std::string errorWriter =
      writeFile("errors",
                "#!/bin/sh\nfor a; do case $a in -f*) echo 'onsgmls:x:7:1:E: bad' > \"${a#-f}\";; "
                "esac; done\n");
  std::filesystem::permissions(errorWriter, std::filesystem::perms::owner_all);
  test_support::HeldValidator validator(folderPath(), 1, errorWriter);
  startHeldRun(validator);
  const std::string second = files->lineText(1);
  ASSERT_TRUE(waitUntil([&] { return statusText() == "検査中 2/3: " + second; }))
      << "status: " << statusText();

  // A menu opened and closed meanwhile comes back to the progress.
  wxMenuEvent closed(wxEVT_MENU_CLOSE, 0, frame->GetMenuBar()->GetMenu(1));
  closed.SetEventObject(frame);
  frame->ProcessWindowEvent(closed);
  EXPECT_EQ(statusText(), "検査中 2/3: " + second);

  validator.release();
  waitForRunEnd();
  EXPECT_EQ(statusText(), "検査終了: 3件, エラーあり 3件, 3行");

  // Once the user moves on, the idle text is back.
  frame->ProcessWindowEvent(closed);
  EXPECT_EQ(statusText(), "ﾚﾃﾞｨ");
}

TEST_F(StatusDuringARun, SaysWhenTheRunWasStopped) {
  // The first document gets an empty error file: no line.
  const std::string noErrors =
      writeFile("no-errors", "#!/bin/sh\nfor a; do case $a in -f*) : > \"${a#-f}\";; esac; done\n");
  std::filesystem::permissions(noErrors, std::filesystem::perms::owner_all);
  test_support::HeldValidator validator(folderPath(), 1, noErrors);
  startHeldRun(validator);
  ASSERT_TRUE(waitUntil([&] { return errors->progress().targets == 2; }));
  command(ID_CHECK_ABORT);
  validator.release();
  waitForRunEnd();
  // The stopped document's one line says that its check was not finished;
  // the third was never reached.
  EXPECT_EQ(statusText(),
            "検査終了: 3件中 2件, エラーあり 0件, 検査できず 1件, 未検査 1件, 1行, 中断");

  // A new working set starts from the idle text.
  document()->SetModifiedFlag(false);
  command(ID_FILE_NEW);
  EXPECT_EQ(statusText(), "ﾚﾃﾞｨ");
}

TEST_F(WindowTest, TheSummaryCountsTargetsThatWereNotCheckedOrNeverReached) {
  writeSettings("SP Location=" + folderPath() + "no-such-validator\n");
  open();
  for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm"}) {
    files->AddFile(writeFile(name, "<p>\n"));
  }
  command(ID_CHECK_ALL);
  waitForRunEnd();
  EXPECT_EQ(statusText(), "検査終了: 4件中 1件, エラーあり 0件, 検査できず 1件, 未検査 3件, 1行");
}

}  // namespace
