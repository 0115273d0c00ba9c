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

void CheckerOutput::targetReported(const TargetReport& report) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (finished_) return;
  tally_.add(report);
  // Unreached targets too: json lists every target with its state.
  if (format_) format_->target(report);
}

int CheckerOutput::finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (format_ && !finished_) format_->end(tally_);
  finished_ = true;
  return tally_.exitStatus();
}
