#include "engine/run_summary.h"

#include "platform/local_text.h"

void RunSummary::begin(const TargetReport& report) {
  ++targets;
  if (report.reached) ++reached;
  if (report.reached && report.state != TargetState::Checked) ++couldNotCheck;
  checking_ = report.state == TargetState::Checked;
  linesBefore_ = lines;
}

void RunSummary::end() {
  if (checking_ && lines > linesBefore_) ++checkedWithLines;
}

std::string RunSummary::text(bool stopped) const {
  auto count = [](long number, const char* unit) {
    return std::to_string(number) + platform::localText(unit);
  };
  std::string result = platform::localText("検査終了: ");
  if (reached < targets) result += count(targets, "件中 ");
  result += count(reached, "件, エラーあり ") + count(checkedWithLines, "件, ");
  if (couldNotCheck > 0)
    result += platform::localText("検査できず ") + count(couldNotCheck, "件, ");
  if (reached < targets)
    result += platform::localText("未検査 ") + count(targets - reached, "件, ");
  result += count(lines, "行");
  if (stopped) result += platform::localText(", 中断");
  return result;
}

void RunSummaryRecorder::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  summary_ = RunSummary();
}

RunSummary RunSummaryRecorder::summary() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return summary_;
}

void RunSummaryRecorder::runLine(const std::string&) {}

void RunSummaryRecorder::targetBegun(const TargetReport& report) {
  std::lock_guard<std::mutex> lock(mutex_);
  summary_.begin(report);
}

void RunSummaryRecorder::targetLine(const ReportLine&) {
  std::lock_guard<std::mutex> lock(mutex_);
  summary_.addLine();
}

void RunSummaryRecorder::targetEnded(const TargetReport&) {
  std::lock_guard<std::mutex> lock(mutex_);
  summary_.end();
}
