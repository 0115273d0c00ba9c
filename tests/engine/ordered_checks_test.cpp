// The check run with several validators at once: the pane and the reports
// see exactly what a single validator at a time would give.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/check_run_fixture.h"
#include "tests/support/report_pipe.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kDocument = kDoctypeLine + "<p>text\r\n";

class RecordingObserver : public CheckObserver {
 public:
  void runLine(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    runLines_.push_back(text);
  }
  // Each report put together again, its lines as they came.
  void targetBegun(const TargetReport& report) override {
    std::lock_guard<std::mutex> lock(mutex_);
    reports_.push_back(report);
  }
  void targetLine(const ReportLine& line) override {
    std::lock_guard<std::mutex> lock(mutex_);
    reports_.back().lines.push_back(line);
  }
  void targetEnded(const TargetReport& report) override {
    std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_EQ(report.location, reports_.back().location);
  }
  std::vector<TargetReport> reports() {
    std::lock_guard<std::mutex> lock(mutex_);
    return reports_;
  }
  Texts runLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return runLines_;
  }

 private:
  std::mutex mutex_;
  std::vector<TargetReport> reports_;
  Texts runLines_;
};

class OrderedChecksTest : public CheckRunTest {
 protected:
  // Runs every target made so far with `jobs` validators at once, into a
  // pane of its own; the reports go to observer_.
  std::vector<PaneLine> checkWith(const std::string& validator, int jobs,
                                  int maxErrors = kValidatorsOwnMaxErrors) {
    RecordingPane pane;
    CheckJob job = jobFor(validator);
    job.mainWindow = &pane;
    job.errorPane = &pane;
    job.jobs = jobs;
    job.maxErrors = maxErrors;
    job.observer = &observer_;
    RunSgml run;
    EXPECT_TRUE(run.start(&job));
    pane.waitUntilDone();
    waitForThreadEnd(run);
    incomplete_ = run.incomplete();
    return pane.lines();
  }

  // The next `count` lines announced on `pipe`, sorted: validators that run
  // at once may announce themselves in either order, or in one read.
  static Texts announced(test_support::ReportPipe& pipe, std::size_t count) {
    std::string text;
    while (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) < count) {
      const std::string more = pipe.readLine();
      if (more.find("timed out") != std::string::npos) return {text + more};
      text += more;
    }
    Texts lines;
    for (std::size_t start = 0; start < text.size(); start = text.find('\n', start) + 1) {
      lines.push_back(text.substr(start, text.find('\n', start) - start));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  // A validator that announces each run on the pipe "started" with the
  // document's name and waits until the file "release.<name>" exists.
  std::string heldValidator() {
    return fakeValidator("held",
                         "name=$(tail -n 1 \"$in\")\n"
                         "echo \"$name\" > \"$DIR/started\"\n"
                         "n=0; while [ ! -e \"$DIR/release.$name\" ] && [ $n -lt 3000 ]; do "
                         "sleep 0.02; n=$((n + 1)); done\n"
                         "echo \"v:$conv.sgml:1:1:E: $name\" > \"$err\"");
  }
  void release(const std::string& name) { writeFile(folder_ + "release." + name, ""); }

  // Targets whose documents hold their own names in their last line.
  void namedTargets(const Texts& names) {
    for (const std::string& name : names) {
      fileTarget(writeFile(docs() + name + ".htm", kDoctypeLine + name));
    }
  }

  RecordingObserver observer_;
};

TEST_F(OrderedChecksTest, AnyNumberOfJobsListsWhatOneJobLists) {
  // Later documents take less time, so with several jobs they are done
  // first; each gives two lines, one about another file.
  Texts names;
  for (int i = 0; i < 12; ++i) names.push_back("d" + std::to_string(10 + i));
  namedTargets(names);
  const std::string validator = fakeValidator(
      "v",
      "name=$(tail -n 1 \"$in\"); sleep $(printf '0.%03d' $(((22 - ${name#d}) * 5)))\n"
      "printf 'val:$conv.sgml:1:2:E: %s\\nval:/x.dtd:3:4:W: %s\\n' $name $name > \"$err\"");
  const std::vector<PaneLine> single = checkWith(validator, 1);
  ASSERT_EQ(single.size(), 3 * names.size() + 1);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(single[3 * i].text, "-------- " + docs() + names[i] + ".htm");
    EXPECT_EQ(single[3 * i + 1].text, "1:2:E: " + names[i]);
    EXPECT_EQ(single[3 * i + 2].text, "/x.dtd:3:4:W: " + names[i]);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(single[3 * i + k].target, targets_[i].get());
  }
  for (const int jobs : {2, 3, 8, 50}) {
    const std::vector<PaneLine> parallel = checkWith(validator, jobs);
    ASSERT_EQ(parallel.size(), single.size()) << jobs;
    for (std::size_t i = 0; i < single.size(); ++i) {
      EXPECT_EQ(parallel[i].text, single[i].text) << jobs << " jobs, line " << i;
      EXPECT_EQ(parallel[i].target, single[i].target) << jobs << " jobs, line " << i;
      EXPECT_EQ(parallel[i].line, single[i].line) << jobs << " jobs, line " << i;
    }
    EXPECT_FALSE(incomplete_);
  }
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(OrderedChecksTest, JobsRunAtOnceAndALaterTargetWaitsForTheEarlierOne) {
  test_support::ReportPipe started(folder_ + "started");
  namedTargets({"a", "b", "c"});
  const std::string validator = heldValidator();
  CheckJob job = jobFor(validator);
  job.jobs = 2;
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  // Two validators run at the same time: the second announces itself while
  // the first is still held.
  ASSERT_EQ(announced(started, 2), (Texts{"a", "b"}));
  // "b" ends first; its lines wait for "a", whose header alone is shown.
  release("b");
  ASSERT_EQ(announced(started, 1), Texts{"c"});
  EXPECT_EQ(pane_.texts(), Texts{"-------- " + docs() + "a.htm"});
  release("c");
  release("a");
  ASSERT_TRUE(pane_.waitUntilDone());
  waitForThreadEnd(run);
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "a.htm", "1:1:E: a", "-------- " + docs() + "b.htm",
                   "1:1:E: b", "-------- " + docs() + "c.htm", "1:1:E: c", "検査終了"}));
}

TEST_F(OrderedChecksTest, StopEndsEveryRunningValidatorWithinASecond) {
  test_support::ReportPipe started(folder_ + "started");
  namedTargets({"a", "b", "c", "d"});
  CheckJob job = jobFor(heldValidator());
  job.jobs = 2;
  job.observer = &observer_;
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  ASSERT_EQ(announced(started, 2), (Texts{"a", "b"}));
  const auto stopped = std::chrono::steady_clock::now();
  run.stop();
  ASSERT_TRUE(pane_.waitUntilDone(std::chrono::seconds(1))) << "the stop took more than a second";
  waitForThreadEnd(run);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
  // The two targets being checked say so; the two not taken up get nothing.
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "a.htm", "E: 検査を中断したため未完了",
                   "-------- " + docs() + "b.htm", "E: 検査を中断したため未完了", "検査終了"}));
  const std::vector<TargetReport> reports = observer_.reports();
  ASSERT_EQ(reports.size(), 4u);
  const bool reached[] = {true, true, false, false};
  for (std::size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].target, targets_[i].get()) << i;
    EXPECT_EQ(reports[i].reached, reached[i]) << i;
    EXPECT_EQ(reports[i].state, TargetState::Stopped) << i;
  }
  EXPECT_TRUE(run.incomplete());
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(OrderedChecksTest, AValidatorThatCannotStartEndsTheRunAsWithOneJob) {
  namedTargets({"a", "b", "c", "d", "e"});
  for (const int jobs : {1, 3}) {
    const auto lines = checkWith(folder_ + "no-such-validator", jobs);
    ASSERT_EQ(lines.size(), 3u) << jobs;
    EXPECT_EQ(lines[0].text, "-------- " + docs() + "a.htm");
    EXPECT_EQ(lines[1].text.rfind("E: nsgmls.exeが見つかりません: " + folder_, 0), 0u);
    EXPECT_FALSE(lines[1].hasItem);
    EXPECT_EQ(lines[2].text, "検査終了");
  }
  const std::vector<TargetReport> reports = observer_.reports();
  ASSERT_EQ(reports.size(), 10u);
  for (std::size_t i = 5; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].reached, i == 5) << i;
    EXPECT_EQ(reports[i].state, TargetState::NotChecked) << i;
  }
  EXPECT_TRUE(reports[5].endsRun);
}

TEST_F(OrderedChecksTest, ReportsCarryThePaneLinesStateAndAnalysis) {
  fileTarget(writeFile(docs() + "utf8.htm", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
                                                kDoctypeLine + "<p>\xE3\x81\x82"));
  fileTarget(docs() + "missing.htm");
  fileTarget(writeFile(docs() + "plain.htm", kDocument));
  writeFile(folder_ + "canned", "v:$conv.sgml:4:5:X: reference\nv:$conv.sgml:6:7: note\n");
  const auto lines = checkWith(fakeValidator("v", "cp \"$DIR/canned\" \"$err\""), 2);
  const std::vector<TargetReport> reports = observer_.reports();
  Texts paneTexts;
  for (const PaneLine& line : lines) paneTexts.push_back(line.text);
  ASSERT_EQ(reports.size(), 3u);
  // The pane shows each report's lines after its header, and nothing else.
  std::vector<std::string> fromReports;
  for (const TargetReport& report : reports) {
    EXPECT_TRUE(report.reached);
    fromReports.push_back("-------- " + report.location);
    for (const ReportLine& line : report.lines) fromReports.push_back(line.text);
  }
  fromReports.push_back("検査終了");
  EXPECT_EQ(paneTexts, fromReports);

  EXPECT_EQ(reports[0].state, TargetState::Checked);
  ASSERT_TRUE(reports[0].analysis.has_value());
  EXPECT_EQ(reports[0].analysis->encoding, kanji::TextEncoding::Utf8);
  EXPECT_EQ(reports[0].analysis->syntax, kanji::MarkupSyntax::Xml);
  ASSERT_EQ(reports[0].lines.size(), 2u);
  EXPECT_EQ(reports[0].lines[0].text, "4:5:X: reference");
  EXPECT_EQ(reports[0].lines[0].itemLine, 4);

  EXPECT_EQ(reports[1].state, TargetState::NotChecked);
  EXPECT_FALSE(reports[1].analysis.has_value());
  EXPECT_FALSE(reports[1].incomplete);  // the document's fault, not the run's
  ASSERT_EQ(reports[1].lines.size(), 1u);
  EXPECT_EQ(reports[1].lines[0].itemLine, -1);

  EXPECT_EQ(reports[2].state, TargetState::Checked);
  ASSERT_TRUE(reports[2].analysis.has_value());
  EXPECT_EQ(reports[2].analysis->encoding, kanji::TextEncoding::Legacy);
  EXPECT_EQ(reports[2].analysis->syntax, kanji::MarkupSyntax::Sgml);
  EXPECT_TRUE(observer_.runLines().empty());
}

TEST_F(OrderedChecksTest, ATemporaryFolderThatCannotBeMadeIsALineOfTheRun) {
  namedTargets({"a", "b"});
  const std::string validator = fakeValidator("v", ": > \"$err\"");
  // A temporary folder whose path leaves no room for a run folder's name,
  // which even root cannot make.
  std::string deep = folder_;
  while (deep.size() < 4090 - 201) deep += std::string(200, 'x') + "/";
  deep += std::string(4090 - 1 - deep.size(), 'y') + "/";
  std::filesystem::create_directories(deep);
  ::chmod(deep.c_str(), 0700);
  ::setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
  const auto lines = checkWith(validator, 2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text.rfind("E: 一時フォルダを作れない: ", 0), 0u) << lines[0].text;
  EXPECT_EQ(observer_.runLines(), Texts{lines[0].text});
  const std::vector<TargetReport> reports = observer_.reports();
  ASSERT_EQ(reports.size(), 2u);
  for (const TargetReport& report : reports) {
    EXPECT_FALSE(report.reached);
    EXPECT_EQ(report.state, TargetState::NotChecked);
  }
  EXPECT_TRUE(incomplete_);
}

TEST_F(OrderedChecksTest, MaxErrorsIsTheValidatorsOption) {
  namedTargets({"a"});
  const std::string validator =
      fakeValidator("v", "printf '%s ' \"$@\" > \"$DIR/args\"; : > \"$err\"");
  const struct {
    int maxErrors;
    const char* option;  // before -c, or "" for none
  } cases[] = {{kValidatorsOwnMaxErrors, ""}, {0, "-E0 "}, {1000, "-E1000 "}};
  for (const auto& c : cases) {
    checkWith(validator, 1, c.maxErrors);
    const std::string args = readFile(folder_ + "args");
    EXPECT_EQ(args.substr(0, args.find("-c")), c.option) << c.maxErrors;
  }
}

}  // namespace
