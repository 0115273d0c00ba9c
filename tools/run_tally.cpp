#include "tools/run_tally.h"

void RunTally::add(const TargetReport& report) {
  ++targets;
  switch (report.state) {
    case TargetState::Checked:
      ++checked;
      break;
    case TargetState::NotChecked:
      ++notChecked;
      break;
    case TargetState::Stopped:
      ++stopped;
      break;
  }
  bool failing = false;
  for (const ReportLine& line : report.lines) {
    switch (severityOf(splitMessageLine(line.text).kind)) {
      case Severity::Error:
        ++errors;
        failing = true;
        break;
      case Severity::Warning:
        ++warnings;
        failing = failing || warningsAreErrors;
        break;
      case Severity::Info:
        ++infos;
        break;
    }
  }
  if (failing && report.state == TargetState::Checked) ++targetsWithErrors;
}

int RunTally::exitStatus() const {
  if (targets == 0 || notChecked > 0 || stopped > 0 || runFailures > 0) return kExitCannotCheck;
  return targetsWithErrors > 0 ? kExitErrors : kExitClean;
}
