// The summary of a check run, counted from its reports.
#include "engine/run_summary.h"

#include <gtest/gtest.h>

namespace {

struct Target {
  bool reached;
  TargetState state;
  int lines;
};

TEST(RunSummary, SaysWhatWasCheckedWhatCouldNotBeAndWhatWasNeverReached) {
  const Target clean{true, TargetState::Checked, 0};
  const Target errors{true, TargetState::Checked, 3};
  const Target unreadable{true, TargetState::NotChecked, 1};
  const Target stopped{true, TargetState::Stopped, 1};
  const Target unreached{false, TargetState::NotChecked, 0};
  const struct {
    std::vector<Target> targets;
    bool stopped;
    const char* text;
  } cases[] = {
      {{}, false, "検査終了: 0件, エラーあり 0件, 0行"},
      {{clean, errors, errors}, false, "検査終了: 3件, エラーあり 2件, 6行"},
      {{errors, unreadable}, false, "検査終了: 2件, エラーあり 1件, 検査できず 1件, 4行"},
      // A validator that cannot be started: its line belongs to the first.
      {{unreadable, unreached, unreached, unreached},
       false,
       "検査終了: 4件中 1件, エラーあり 0件, 検査できず 1件, 未検査 3件, 1行"},
      {{errors, stopped, unreached},
       true,
       "検査終了: 3件中 2件, エラーあり 1件, 検査できず 1件, 未検査 1件, 4行, 中断"},
  };
  for (const auto& c : cases) {
    RunSummaryRecorder recorder;
    recorder.reset();
    for (const Target& target : c.targets) {
      TargetReport report;
      report.reached = target.reached;
      report.state = target.state;
      recorder.targetBegun(report);
      for (int i = 0; i < target.lines; ++i) recorder.targetLine(ReportLine{"1:1:E: x", true, 1});
      recorder.targetEnded(report);
    }
    EXPECT_EQ(recorder.summary().text(c.stopped), c.text);
  }
}

}  // namespace
