#include "tools/console_pane.h"

#include "tools/control_escape.h"

void ConsolePane::ClearLines() {}

void ConsolePane::AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (output_ != nullptr) {
    // A line per line: a file name's line break or ESC is written escaped.
    const std::string shown = escapeControlCharacters(text);
    std::fwrite(shown.data(), 1, shown.size(), output_);
    std::fputc('\n', output_);
    // Messages go out in blocks; a header, the run's own lines and the
    // closing line at once, so that a terminal sees each target begin.
    if (item == nullptr || item->line < 0) std::fflush(output_);
  }
  // The item leads nowhere here: it is freed at once, so that memory stays
  // small whatever the number of lines.
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
