#include "tools/run_tally.h"

void RunTally::begin(const TargetReport& report) {
  ++targets;
  if (!report.reached) {
    ++notReached;
  } else {
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
  }
  checking_ = report.state == TargetState::Checked;
  failing_ = false;
  summary.begin(report);
}

void RunTally::addLine(const std::string& text) {
  summary.addLine();
  switch (severityOf(splitMessageLine(text).kind)) {
    case Severity::Error:
      ++errors;
      failing_ = true;
      break;
    case Severity::Warning:
      ++warnings;
      failing_ = failing_ || warningsAreErrors;
      break;
    case Severity::Info:
      ++infos;
      break;
  }
}

void RunTally::end() {
  summary.end();
  if (failing_ && checking_) ++targetsWithErrors;
}

void RunTally::add(const TargetReport& report) {
  begin(report);
  for (const ReportLine& line : report.lines) addLine(line.text);
  end();
}

int RunTally::exitStatus() const {
  if (targets == 0 || notChecked > 0 || stopped > 0 || notReached > 0 || runFailures > 0) {
    return kExitCannotCheck;
  }
  return targetsWithErrors > 0 ? kExitErrors : kExitClean;
}
