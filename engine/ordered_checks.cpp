#include "engine/ordered_checks.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "engine/resource_failure.h"
#include "engine/target_checker.h"
#include "platform/local_text.h"

namespace {

struct Slot {
  bool started = false;
  bool done = false;
  TargetReport report;
};

// What the workers and the handing-over thread share; everything behind the
// one mutex.
class Schedule {
 public:
  Schedule(const CheckJob& job, const platform::RunFolder& runFolder, std::atomic<bool>& stop)
      : job_(job), runFolder_(runFolder), stop_(stop), slots_(job.targets.size()) {}

  // The body of worker `number` (from 1): takes up targets until none is
  // left, the run was stopped, or a target ended it.
  void work(int number) {
    TargetChecker checker(job_, runFolder_, std::to_string(number));
    for (;;) {
      std::size_t index;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (next_ == slots_.size() || ended_ || stop_.load()) break;
        index = next_++;
        slots_[index].started = true;
      }
      changed_.notify_all();
      TargetReport report = checkCatching(checker, *job_.targets[index]);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (report.endsRun) ended_ = true;
        slots_[index].report = std::move(report);
        slots_[index].done = true;
      }
      changed_.notify_all();
    }
    // A worker that leaves may be what the handing-over thread waits for:
    // it learns that nothing more will be taken up.
    changed_.notify_all();
  }

  // Lets no worker take up another target: the handing over failed.
  void abandon() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    changed_.notify_all();
  }

  // Hands the targets over in order until one was not taken up or ended
  // the run; returns how many.
  std::size_t handOver(const OrderedCheckCallbacks& callbacks) {
    std::size_t index = 0;
    for (; index < slots_.size(); ++index) {
      std::unique_lock<std::mutex> lock(mutex_);
      Slot& slot = slots_[index];
      // Taken up and false is final: a worker takes up targets only while
      // neither is set, under this lock.
      waitUntil(lock, [&] { return slot.started || ended_ || stop_.load(); });
      if (!slot.started) break;
      lock.unlock();
      callbacks.started(index);
      lock.lock();
      waitUntil(lock, [&] { return slot.done; });
      TargetReport report = std::move(slot.report);
      slot.report = TargetReport();
      lock.unlock();
      const bool endsRun = report.endsRun;
      callbacks.done(std::move(report));
      if (endsRun) return index + 1;
    }
    return index;
  }

 private:
  // The stop request is set without the lock and without a notice, so the
  // wait looks at it again now and then.
  template <typename Predicate>
  void waitUntil(std::unique_lock<std::mutex>& lock, Predicate ready) {
    while (!ready()) changed_.wait_for(lock, std::chrono::milliseconds(100));
  }

  // A failure of the checker itself (memory, say) fails its target, not
  // the program: a worker thread has nobody to throw to.
  TargetReport checkCatching(TargetChecker& checker, const CheckTarget& target) {
    try {
      return checker.check(target, stop_);
    } catch (const std::exception& failure) {
      TargetReport report;
      report.target = &target;
      report.location = target.location;
      report.reached = true;
      report.incomplete = true;
      report.lines.push_back(
          ReportLine{platform::localText("E: ") + resourceFailureText(failure), true, -1});
      return report;
    }
  }

  const CheckJob& job_;
  const platform::RunFolder& runFolder_;
  std::atomic<bool>& stop_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;
  std::size_t next_ = 0;  // the next target to take up
  bool ended_ = false;    // a target's report ended the run
};

}  // namespace

std::size_t checkInOrder(const CheckJob& job, const platform::RunFolder& runFolder,
                         std::atomic<bool>& stop, const OrderedCheckCallbacks& callbacks) {
  Schedule schedule(job, runFolder, stop);
  const std::size_t wanted =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(job.jobs, 1)), job.targets.size());
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < wanted; ++i) {
    try {
      workers.emplace_back(&Schedule::work, &schedule, static_cast<int>(i + 1));
    } catch (const std::system_error&) {
      break;  // as many as the system gives
    }
  }
  // Without a single worker thread, the targets are checked here first and
  // handed over afterwards: the same results, only later.
  if (workers.empty() && wanted > 0) schedule.work(1);
  std::size_t handedOver = 0;
  std::exception_ptr failure;
  try {
    handedOver = schedule.handOver(callbacks);
  } catch (...) {
    // The workers must end before the failure goes on: as after a stop,
    // their validators are ended and their reports dropped.
    failure = std::current_exception();
    stop.store(true);
    schedule.abandon();
  }
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
  return handedOver;
}
