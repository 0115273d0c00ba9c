// Counts what a check found, target by target, and turns it into the exit
// status of tessavo-check:
//
//   0  every target was checked, and none has an error message
//   1  every target was checked, and some have error messages
//   2  some target could not be checked (unsupported, not fetched,
//      unreadable, the validator failed or could not start, the run was
//      stopped), or there was no target at all
//
// Error messages are the validator's E, Q and X lines; warnings (W) count
// as errors only when asked to. A value; one thread at a time.
#ifndef TESSAVO_TOOLS_RUN_TALLY_H_
#define TESSAVO_TOOLS_RUN_TALLY_H_

#include <string>

#include "engine/message_parts.h"
#include "engine/run_summary.h"
#include "engine/target_report.h"

constexpr int kExitClean = 0;
constexpr int kExitErrors = 1;
constexpr int kExitCannotCheck = 2;

class RunTally {
 public:
  explicit RunTally(bool warningsAreErrorsFlag = false)
      : warningsAreErrors(warningsAreErrorsFlag) {}

  // A target's report before its lines, each of its lines, its end.
  void begin(const TargetReport& report);
  void addLine(const std::string& text);
  void end();
  // All three for a report that holds its lines.
  void add(const TargetReport& report);
  // A line the run wrote about no target: something kept it from checking.
  void addRunLine() { ++runFailures; }
  int exitStatus() const;

  bool warningsAreErrors;
  int targets = 0;
  // Each target counts once: checked, not checked or stopped once the run
  // got to it, or not reached.
  int checked = 0;
  int notChecked = 0;
  int stopped = 0;
  int notReached = 0;
  int runFailures = 0;
  int errors = 0;  // messages, all targets
  int warnings = 0;
  int infos = 0;
  int targetsWithErrors = 0;  // checked targets with an error message (warnings too, when asked)
  RunSummary summary;         // what the window's status bar says of a run

 private:
  bool checking_ = false;  // the current target was checked
  bool failing_ = false;   // and has an error message so far
};

#endif  // TESSAVO_TOOLS_RUN_TALLY_H_
