#include "tools/console_pane.h"

namespace {

bool startsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

}  // namespace

void ConsolePane::ClearLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  items_.clear();
}

void ConsolePane::AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (item == nullptr) {
    // Only the closing line and the missing-validator line have no item.
    if (startsWith(text, "E: ")) validatorMissing_ = true;
  } else if (item->line != -1 || startsWith(text, "E: ")) {
    targetError_ = true;
  }
  std::fwrite(text.data(), 1, text.size(), output_);
  std::fputc('\n', output_);
  std::fflush(output_);
  if (item != nullptr) items_.push_back(std::move(item));
}

void ConsolePane::postCheckDone() {
  std::lock_guard<std::mutex> lock(mutex_);
  done_ = true;
  doneChanged_.notify_all();
}

void ConsolePane::waitUntilDone() {
  std::unique_lock<std::mutex> lock(mutex_);
  doneChanged_.wait(lock, [this] { return done_; });
}

bool ConsolePane::sawTargetError() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return targetError_;
}

bool ConsolePane::sawValidatorMissing() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return validatorMissing_;
}
