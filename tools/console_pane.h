// The headless checker's error pane and end-of-run receiver: every line the
// check run adds is written to an output stream as it comes, one per line,
// control characters escaped (the text format), or to none when another
// format writes the reports. It keeps no line: a run of any size passes
// through in little memory.
//
// AddLine and postCheckDone are called on the checking thread,
// waitUntilDone on the main thread; one mutex guards the state. The
// callback given to setDoneCallback runs on the checking thread, after the
// end has been recorded.
#ifndef TESSAVO_TOOLS_CONSOLE_PANE_H_
#define TESSAVO_TOOLS_CONSOLE_PANE_H_

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "engine/check_job.h"
#include "engine/error_pane.h"

class ConsolePane : public ErrorPane, public CheckDoneReceiver {
 public:
  // `output` may be null: the lines then go nowhere.
  explicit ConsolePane(std::FILE* output) : output_(output) {}

  void ClearLines() override;
  void AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) override;
  void postCheckDone() override;

  // Set before the run starts.
  void setDoneCallback(std::function<void()> done) { doneCallback_ = std::move(done); }

  // Blocks until postCheckDone has been called.
  void waitUntilDone();
  // The same, for at most `limit`; whether it was called.
  bool waitUntilDone(std::chrono::milliseconds limit);

 private:
  std::FILE* output_;
  std::function<void()> doneCallback_;
  mutable std::mutex mutex_;
  std::condition_variable doneChanged_;
  bool done_ = false;
};

#endif  // TESSAVO_TOOLS_CONSOLE_PANE_H_
