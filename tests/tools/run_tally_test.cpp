// The exit status of tessavo-check from what its targets gave.
#include "tools/run_tally.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TargetReport report(TargetState state, std::vector<std::string> lines, bool reached = true) {
  TargetReport result;
  result.location = "a.htm";
  result.reached = reached;
  result.state = state;
  for (std::string& line : lines) result.lines.push_back(ReportLine{std::move(line), true, 0});
  return result;
}

TEST(RunTally, ExitStatusForEachMix) {
  const TargetReport clean = report(TargetState::Checked, {});
  const TargetReport info = report(TargetState::Checked, {"1:0:I: note", "2:3: here", "x"});
  const TargetReport warning = report(TargetState::Checked, {"4:1:W: odd"});
  const TargetReport error = report(TargetState::Checked, {"4:1:E: bad"});
  const TargetReport quantity = report(TargetState::Checked, {"4:1:Q: too long"});
  const TargetReport idref = report(TargetState::Checked, {"4:1:X: no such ID"});
  const TargetReport unreadable = report(TargetState::NotChecked, {"E: 入力ファイルを開けない: a"});
  const TargetReport stopped = report(TargetState::Stopped, {"E: 検査を中断したため未完了"});
  const TargetReport unreached = report(TargetState::NotChecked, {}, false);
  const struct {
    const char* name;
    std::vector<TargetReport> reports;
    bool warningsAreErrors;
    int status;
  } cases[] = {
      {"nothing", {}, false, 2},
      {"clean", {clean, clean}, false, 0},
      {"information", {clean, info}, false, 0},
      {"warnings", {warning, clean}, false, 0},
      {"warnings as errors", {warning, clean}, true, 1},
      {"errors", {clean, error}, false, 1},
      {"quantity errors", {quantity}, false, 1},
      {"ID errors", {idref}, false, 1},
      {"unreadable", {clean, unreadable}, false, 2},
      {"errors and unreadable", {error, unreadable}, false, 2},
      {"stopped", {clean, stopped}, false, 2},
      {"not reached", {clean, unreached}, false, 2},
  };
  for (const auto& c : cases) {
    RunTally tally(c.warningsAreErrors);
    for (const TargetReport& r : c.reports) tally.add(r);
    EXPECT_EQ(tally.exitStatus(), c.status) << c.name;
  }
  RunTally withRunFailure;
  withRunFailure.add(clean);
  withRunFailure.addRunLine();
  EXPECT_EQ(withRunFailure.exitStatus(), 2);
}

TEST(RunTally, CountsTargetsAndMessagesBySeverity) {
  RunTally tally;
  tally.add(report(TargetState::Checked, {"1:0:E: a", "1:1:X: b", "2:0:W: c", "2:1: d"}));
  tally.add(report(TargetState::NotChecked, {"E: ダウンロードに失敗"}));
  tally.add(report(TargetState::Stopped, {}, false));
  EXPECT_EQ(tally.targets, 3);
  EXPECT_EQ(tally.checked, 1);
  EXPECT_EQ(tally.notChecked, 1);
  EXPECT_EQ(tally.stopped, 0) << "a target never reached counts as that alone";
  EXPECT_EQ(tally.notReached, 1);
  EXPECT_EQ(tally.errors, 3);
  EXPECT_EQ(tally.warnings, 1);
  EXPECT_EQ(tally.infos, 1);
  EXPECT_EQ(tally.targetsWithErrors, 1);
}

}  // namespace
