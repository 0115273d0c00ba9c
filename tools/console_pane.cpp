#include "tools/console_pane.h"

void ConsolePane::ClearLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  items_.clear();
}

void ConsolePane::AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (output_ != nullptr) {
    std::fwrite(text.data(), 1, text.size(), output_);
    std::fputc('\n', output_);
    std::fflush(output_);
  }
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

bool ConsolePane::waitUntilDone(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return doneChanged_.wait_for(lock, limit, [this] { return done_; });
}
