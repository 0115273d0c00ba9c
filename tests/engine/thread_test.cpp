#include "engine/thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

// A one-shot signal a test can wait for, so that no test sleeps. Waits are
// bounded: a gate that never opens fails the test instead of hanging it.
class Gate {
 public:
  void open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // False when the gate did not open within `seconds`.
  [[nodiscard]] bool wait(int seconds = 10) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(seconds), [this] { return open_; });
  }
  bool isOpen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

// A worker that records its argument, says it has started, and then either
// returns at once or waits until the test releases it. It polls
// stopRequested while it waits, like the check run does between targets.
class ScriptedWorker : public Thread {
 public:
  ~ScriptedWorker() override { stopAndWait(); }

  Gate started;
  Gate release;
  bool waitForRelease = false;
  bool returnOnStop = false;
  std::atomic<void*> seenArgument{nullptr};
  std::atomic<bool> sawStopRequest{false};
  std::atomic<bool> returned{false};
  std::atomic<int> runs{0};

  bool stopFlag() const { return stopRequested.load(); }

 protected:
  int run(void* argument) override {
    seenArgument = argument;
    sawStopRequest = stopRequested.load();
    ++runs;
    started.open();
    if (waitForRelease) {
      while (!release.isOpen() && !(returnOnStop && stopRequested.load())) {
        std::this_thread::yield();
      }
    }
    returned = true;
    return 42;
  }
};

// Waits until the worker's run has returned and isRunning has turned false;
// false when that did not happen within ten seconds.
[[nodiscard]] bool waitUntilEnded(const Thread& thread) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (thread.isRunning()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
  return true;
}

TEST(Thread, NotRunningBeforeFirstStartAndAfterRunReturned) {
  ScriptedWorker worker;
  EXPECT_FALSE(worker.isRunning());
  EXPECT_FALSE(worker.stopFlag());

  int job = 0;
  ASSERT_TRUE(worker.start(&job));
  ASSERT_TRUE(worker.started.wait());
  ASSERT_TRUE(waitUntilEnded(worker));
  EXPECT_TRUE(worker.returned);
  EXPECT_EQ(worker.exitCode(), 42);
  EXPECT_EQ(worker.seenArgument.load(), &job);
}

TEST(Thread, SecondStartWhileRunningIsRefused) {
  ScriptedWorker worker;
  worker.waitForRelease = true;
  int first = 1, second = 2;
  ASSERT_TRUE(worker.start(&first));
  // isRunning is true from the moment start returns, even before run began.
  EXPECT_TRUE(worker.isRunning());
  EXPECT_FALSE(worker.start(&second));
  ASSERT_TRUE(worker.started.wait());
  EXPECT_TRUE(worker.isRunning());
  worker.release.open();
  ASSERT_TRUE(waitUntilEnded(worker));
  EXPECT_EQ(worker.runs, 1);
  EXPECT_EQ(worker.seenArgument.load(), &first);
}

TEST(Thread, StopWithoutWorkerChangesNothing) {
  ScriptedWorker worker;
  worker.stop();
  EXPECT_FALSE(worker.stopFlag());
  EXPECT_FALSE(worker.isRunning());
}

TEST(Thread, StopIsSeenByRunAndClearedByNextStart) {
  ScriptedWorker worker;
  worker.waitForRelease = true;
  worker.returnOnStop = true;
  int job = 0;
  ASSERT_TRUE(worker.start(&job));
  ASSERT_TRUE(worker.started.wait());
  worker.stop();  // returns at once; the worker notices at its next test
  ASSERT_TRUE(waitUntilEnded(worker));
  EXPECT_TRUE(worker.stopFlag());
  EXPECT_FALSE(worker.release.isOpen());

  // A stop after the end does nothing, and a restart clears the stale flag.
  worker.stop();
  ScriptedWorker& again = worker;
  again.waitForRelease = false;
  int next = 0;
  ASSERT_TRUE(again.start(&next));
  ASSERT_TRUE(waitUntilEnded(again));
  EXPECT_FALSE(again.sawStopRequest);
  EXPECT_EQ(again.seenArgument.load(), &next);
  EXPECT_EQ(again.runs, 2);
}

TEST(Thread, RestartsManyTimesWithNewArguments) {
  ScriptedWorker worker;
  int values[20] = {};
  for (int& value : values) {
    ASSERT_TRUE(worker.start(&value));
    ASSERT_TRUE(waitUntilEnded(worker));
    EXPECT_EQ(worker.seenArgument.load(), &value);
  }
  EXPECT_EQ(worker.runs, 20);
}

// A worker whose run outlives the stop request and reports its return
// through a flag that outlives the worker.
class StubbornWorker : public Thread {
 public:
  StubbornWorker(Gate& started, std::atomic<bool>& returned)
      : started_(started), returned_(returned) {}
  ~StubbornWorker() override { stopAndWait(); }

 protected:
  int run(void*) override {
    started_.open();
    // Ignores the stop request for a while, like a validator run that has
    // to finish first.
    while (!stopRequested.load()) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    returned_ = true;
    return 0;
  }

 private:
  Gate& started_;
  std::atomic<bool>& returned_;
};

TEST(Thread, DestructionDuringRunWaitsForRunToReturn) {
  Gate started;
  std::atomic<bool> returned{false};
  {
    StubbornWorker worker(started, returned);
    ASSERT_TRUE(worker.start(nullptr));
    ASSERT_TRUE(started.wait());
  }
  EXPECT_TRUE(returned);
}

}  // namespace
