// The headless checker's reader of reports: counts every target for the
// exit status and, in the gnu and json formats, writes it out.
//
// The CheckObserver calls come on the checking thread (and, for
// the texts that gave no target, on the main thread before the run starts);
// finish on the main thread, once the run has ended or when the program
// ends without waiting for it: whatever is reported after finish is left
// out, so the output stays whole. One mutex guards the state.
#ifndef TESSAVO_TOOLS_CHECKER_OUTPUT_H_
#define TESSAVO_TOOLS_CHECKER_OUTPUT_H_

#include <memory>
#include <mutex>
#include <string>

#include "engine/target_report.h"
#include "tools/report_format.h"
#include "tools/run_tally.h"

class CheckerOutput : public CheckObserver {
 public:
  // `format` may be null (the text format, which the pane writes).
  CheckerOutput(std::unique_ptr<ReportFormat> format, bool warningsAreErrors);

  void runLine(const std::string& text) override;
  void targetBegun(const TargetReport& report) override;
  void targetLine(const ReportLine& line) override;
  void targetEnded(const TargetReport& report) override;
  // A whole report that holds its lines (a text that gave no target).
  void targetReported(const TargetReport& report);

  // Writes what the format writes after the last target; the exit status.
  int finish();
  // The run's summary line (engine/run_summary.h).
  std::string summaryText(bool stopped);

 private:
  std::mutex mutex_;
  std::unique_ptr<ReportFormat> format_;
  RunTally tally_;
  bool finished_ = false;
};

#endif  // TESSAVO_TOOLS_CHECKER_OUTPUT_H_
