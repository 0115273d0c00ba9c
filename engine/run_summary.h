// What a check run did, counted from its reports, and the line that says
// it:
//
//   検査終了: 205件, エラーあり 37件, 296行
//   検査終了: 4件中 1件, エラーあり 0件, 検査できず 1件, 未検査 3件, 1行
//
// the targets the run got to (out of how many, when it did not get to all),
// how many of the checked ones got lines besides their header, how many it
// got to but could not check (unreadable, not fetched, the validator failed
// or was stopped), how many it never got to (after a validator that could
// not be started, or a stop), and the lines of all targets; ", 中断" ends it
// when the user stopped the run. A part that would say 0 of the last three
// kinds of targets is left out. The window shows it in its status bar,
// tessavo-check on standard error.
//
// RunSummary is a value for one thread; RunSummaryRecorder is a
// CheckObserver that keeps one for a run's reports, which arrive on the
// checking thread, behind a mutex.
#ifndef TESSAVO_ENGINE_RUN_SUMMARY_H_
#define TESSAVO_ENGINE_RUN_SUMMARY_H_

#include <mutex>
#include <string>

#include "engine/target_report.h"

class RunSummary {
 public:
  // A target's report before its lines, one of its lines, its end.
  void begin(const TargetReport& report);
  void addLine() { ++lines; }
  void end();

  // The line above, in the program's code page.
  std::string text(bool stopped) const;

  long targets = 0;           // reported, reached or not
  long reached = 0;           // the run wrote a header line for them
  long checkedWithLines = 0;  // checked, with a line besides the header
  long couldNotCheck = 0;     // reached, not checked
  long lines = 0;             // of all targets

 private:
  bool checking_ = false;  // the current target was checked
  long linesBefore_ = 0;   // lines before the current target's
};

class RunSummaryRecorder : public CheckObserver {
 public:
  // Forgets the last run; only while no run reports.
  void reset();
  RunSummary summary() const;

  void runLine(const std::string& text) override;
  void targetBegun(const TargetReport& report) override;
  void targetLine(const ReportLine& line) override;
  void targetEnded(const TargetReport& report) override;

 private:
  mutable std::mutex mutex_;
  RunSummary summary_;
};

#endif  // TESSAVO_ENGINE_RUN_SUMMARY_H_
