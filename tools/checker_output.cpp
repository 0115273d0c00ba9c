#include "tools/checker_output.h"

#include <utility>

CheckerOutput::CheckerOutput(std::unique_ptr<ReportFormat> format, bool warningsAreErrors)
    : format_(std::move(format)), tally_(warningsAreErrors) {}

void CheckerOutput::runLine(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (finished_) return;
  tally_.addRunLine();
  if (format_) format_->runLine(text);
}

void CheckerOutput::targetBegun(const TargetReport& report) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (finished_) return;
  tally_.begin(report);
  // Unreached targets too: json lists every target with its state.
  if (format_) format_->targetBegun(report);
}

void CheckerOutput::targetLine(const ReportLine& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (finished_) return;
  tally_.addLine(line.text);
  if (format_) format_->targetLine(line.text);
}

void CheckerOutput::targetEnded(const TargetReport&) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (finished_) return;
  tally_.end();
  if (format_) format_->targetEnded();
}

void CheckerOutput::targetReported(const TargetReport& report) {
  targetBegun(report);
  for (const ReportLine& line : report.lines) targetLine(line);
  targetEnded(report);
}

int CheckerOutput::finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (format_ && !finished_) format_->end(tally_);
  finished_ = true;
  return tally_.exitStatus();
}

std::string CheckerOutput::summaryText(bool stopped) {
  std::lock_guard<std::mutex> lock(mutex_);
  return tally_.summary.text(stopped);
}
