// An error pane that records the lines a check run writes, and the
// end-of-run event, for tests that run the engine. Lines are written from the
// checking thread and read from the test's thread, under one lock.
#ifndef TESSAVO_TESTS_SUPPORT_RECORDING_PANE_H_
#define TESSAVO_TESTS_SUPPORT_RECORDING_PANE_H_

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/error_pane.h"
#include "tests/support/bounded_wait.h"

struct PaneLine {
  std::string text;
  bool hasItem;
  CheckTarget* target;
  int line;
};

class RecordingPane : public ErrorPane, public CheckDoneReceiver {
 public:
  void ClearLines() override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    ++clears_;
  }
  void AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) override {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back({text, item != nullptr, item ? item->target : nullptr, item ? item->line : 0});
  }
  void postCheckDone() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++done_;
    changed_.notify_all();
  }
  // Whether the end-of-run event came within `bound`; a failure of the test
  // if not.
  bool waitUntilDone(std::chrono::milliseconds bound = test_support::kWaitBound) {
    std::unique_lock<std::mutex> lock(mutex_);
    return test_support::waitFor(
        changed_, lock, [this] { return done_ > 0; }, "the end of the check run", bound);
  }
  std::vector<PaneLine> lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  std::vector<std::string> texts() {
    std::vector<std::string> result;
    for (const PaneLine& line : lines()) result.push_back(line.text);
    return result;
  }
  int doneCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
  }
  int clearCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return clears_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<PaneLine> lines_;
  int done_ = 0;
  int clears_ = 0;
};

#endif  // TESSAVO_TESTS_SUPPORT_RECORDING_PANE_H_
