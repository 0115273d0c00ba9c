// The window's check with several validators at once ("Jobs"): the error
// pane still gets every line in the targets' order, one target after the
// other, the stop command ends every running validator, and the commands
// come back when the run ends. Built with ThreadSanitizer in CI (label
// "thread").
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "tests/support/report_pipe.h"
#include "ui/command_ids.h"
#include "window_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class ParallelWindowCheckTest : public WindowTest {
 protected:
  // A shell script as the validator; in `body` $err is its error file,
  // $copy the document's copy and $DIR the test's folder.
  std::string validator(const std::string& body) {
    const std::string path = writeFile(
        "validator", "#!/bin/sh\nDIR='" + folderPath() +
                         "'\nfor a; do case $a in -f*) err=${a#-f};; esac; copy=$a; done\n" + body +
                         "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }

  // Documents holding their own names in their last line, after a doctype
  // (the validator's lines are then listed as they stand), added to the
  // file pane; their paths in the pane's order.
  Texts addDocuments(const Texts& names) {
    Texts paths;
    for (const std::string& name : names) {
      paths.push_back(writeFile(name + ".html", "<!DOCTYPE p SYSTEM \"p.dtd\">\n" + name));
      files->AddFile(paths.back());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
  }

  Texts paneTexts() {
    Texts texts;
    for (long i = 0; i < errors->lineCount(); ++i) texts.push_back(errors->lineText(i));
    return texts;
  }
};

TEST_F(ParallelWindowCheckTest, JobsComeFromTheSettingsOrTheCores) {
  const struct {
    const char* settings;
    int jobs;
  } cases[] = {
      {"", defaultCheckJobs()},         {"Jobs=3\n", 3}, {"Jobs=0\n", 1}, {"Jobs=100000\n", 256},
      {"Jobs=x\n", defaultCheckJobs()},
  };
  for (const auto& c : cases) {
    writeSettings(c.settings);
    open();
    EXPECT_EQ(frame->checkJobs(), c.jobs) << c.settings;
    close();
  }
}

TEST_F(ParallelWindowCheckTest, LinesReachThePaneTargetAfterTarget) {
  // Later documents take less time, so with three jobs they are done first.
  const std::string slow = validator(
      "name=$(tail -n 1 \"$copy\"); sleep $(printf '0.%03d' $(((30 - ${name#d}) * 5)))\n"
      "printf 'val:$conv.sgml:1:2:E: %s\\nval:$conv.sgml:3:4:W: %s\\n' $name $name > \"$err\"");
  writeSettings("Jobs=3\nSP Location=" + slow + "\n");
  open();
  Texts names;
  for (int i = 10; i < 30; ++i) names.push_back("d" + std::to_string(i));
  const Texts paths = addDocuments(names);
  Texts expected;
  for (const std::string& path : paths) {
    const std::string name = path.substr(path.rfind('/') + 1, 3);
    expected.insert(expected.end(), {"-------- " + path, "1:2:E: " + name, "3:4:W: " + name});
  }
  expected.push_back("検査終了");

  command(ID_CHECK_ALL);
  // While the run goes on, the pane always holds a beginning of the whole.
  long seen = 0;
  ASSERT_TRUE(waitUntil(
      [&] {
        const Texts now = paneTexts();
        EXPECT_LE(now.size(), expected.size());
        for (std::size_t i = seen; i < now.size() && i < expected.size(); ++i) {
          EXPECT_EQ(now[i], expected[i]) << "line " << i;
        }
        seen = static_cast<long>(now.size());
        return !frame->isChecking();
      },
      60000));
  waitForRunEnd();
  EXPECT_EQ(paneTexts(), expected);
  // Each line leads to its own target.
  for (long i = 0; i + 1 < errors->lineCount(); ++i) {
    const std::optional<ErrorItem> item = errors->item(i);
    ASSERT_TRUE(item) << i;
    EXPECT_EQ(item->target->location, paths[i / 3]) << i;
  }
  EXPECT_FALSE(errors->item(errors->lineCount() - 1));
  EXPECT_TRUE(enabled(ID_CHECK_ALL));
  EXPECT_FALSE(enabled(ID_CHECK_ABORT));
}

TEST_F(ParallelWindowCheckTest, StopEndsEveryRunningValidator) {
  test_support::ReportPipe started(folderPath() + "started");
  // Each validator announces itself and waits (a minute at most) for a
  // release that never comes.
  const std::string held = validator(
      "echo \"$(tail -n 1 \"$copy\")\" > \"$DIR/started\"\n"
      "n=0; while [ ! -e \"$DIR/release\" ] && [ $n -lt 3000 ]; do sleep 0.02; n=$((n + 1)); "
      "done");
  writeSettings("Jobs=2\nSP Location=" + held + "\n");
  open();
  const Texts paths = addDocuments({"a", "b", "c", "d"});
  command(ID_CHECK_ALL);
  // Both validators run at once.
  std::string announced;
  while (std::count(announced.begin(), announced.end(), '\n') < 2) {
    const std::string more = started.readLine();
    ASSERT_EQ(more.find("timed out"), std::string::npos) << announced << more;
    announced += more;
  }
  EXPECT_TRUE(announced == "a\nb\n" || announced == "b\na\n") << announced;
  EXPECT_TRUE(enabled(ID_CHECK_ABORT));
  EXPECT_FALSE(enabled(ID_CHECK_ALL));

  command(ID_CHECK_ABORT);
  ASSERT_TRUE(waitUntil([this] { return !frame->isChecking(); }, 1000))
      << "the stop took more than a second";
  waitForRunEnd();
  EXPECT_EQ(paneTexts(),
            (Texts{"-------- " + paths[0], "E: 検査を中断したため未完了", "-------- " + paths[1],
                   "E: 検査を中断したため未完了", "検査終了"}));
  EXPECT_TRUE(enabled(ID_CHECK_ALL));
  EXPECT_FALSE(enabled(ID_CHECK_ABORT));
}

}  // namespace
