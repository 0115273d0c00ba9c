// A whole check with the real validator, seen through the window.
#include "ui/command_ids.h"
#include "window_fixture.h"

namespace {

TEST_F(WindowTest, CheckingTwoDocumentsListsTheirErrorsAndEnds) {
  open();
  const std::string broken =
      writeFile("broken.html",
                "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
                "<html><head><title>t</title></head>\n<body><p>日本語<foo></p></body></html>\n");
  const std::string clean =
      writeFile("clean.html",
                "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
                "<html><head><title>t</title></head><body><p>ok</p></body></html>\n");
  files->AddFile(clean);
  files->AddFile(broken);
  command(ID_CHECK_ALL);
  waitForRunEnd();

  const long count = errors->lineCount();
  ASSERT_GE(count, 3);
  EXPECT_EQ(errors->lineText(0), "-------- " + broken);
  EXPECT_EQ(errors->lineText(count - 1), "検査終了");
  EXPECT_FALSE(errors->item(count - 1));
  bool errorLine = false;
  bool cleanHeader = false;
  for (long i = 1; i < count - 1; ++i) {
    const std::optional<ErrorItem> item = errors->item(i);
    ASSERT_TRUE(item) << errors->lineText(i);
    if (errors->lineText(i) == "-------- " + clean) cleanHeader = true;
    if (item->line > 0) {
      errorLine = true;
      EXPECT_EQ(item->target->location, broken);
      EXPECT_EQ(item->line, 3) << errors->lineText(i);
    }
  }
  EXPECT_TRUE(cleanHeader);
  EXPECT_TRUE(errorLine);

  // The closing line carries no item: selecting it enables nothing that
  // needs a target.
  errors->selectLine(count - 1);
  frame->setActivePane(errors);
  EXPECT_FALSE(enabled(ID_CHECK_SELECTED));
  EXPECT_FALSE(enabled(ID_OPEN_EDITOR));
  EXPECT_FALSE(enabled(ID_OPEN_BROWSER));

  // Checking the target of an error line checks that one target only.
  errors->selectLine(1);
  command(ID_CHECK_SELECTED);
  waitForRunEnd();
  EXPECT_EQ(errors->lineText(0), "-------- " + broken);
  EXPECT_EQ(errors->lineText(errors->lineCount() - 1), "検査終了");
  for (long i = 0; i < errors->lineCount(); ++i) {
    EXPECT_NE(errors->lineText(i), "-------- " + clean);
  }
}

}  // namespace
