#include "tools/console_pane.h"

void ConsolePane::ClearLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  items_.clear();
}

void ConsolePane::AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Every line about a target but its header is a message: the header alone
  // carries -1 and does not start with "E: ".
  if (item != nullptr && (item->line != -1 || text.rfind("E: ", 0) == 0)) targetError_ = true;
  std::fwrite(text.data(), 1, text.size(), output_);
  std::fputc('\n', output_);
  std::fflush(output_);
  if (item != nullptr) items_.push_back(std::move(item));
}

void ConsolePane::postCheckDone() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    doneChanged_.notify_all();
  }
  if (doneCallback_) doneCallback_();
}

void ConsolePane::waitUntilDone() {
  std::unique_lock<std::mutex> lock(mutex_);
  doneChanged_.wait(lock, [this] { return done_; });
}

bool ConsolePane::sawTargetError() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return targetError_;
}
