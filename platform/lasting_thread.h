// One thread that lives as long as its object and runs what it is given,
// one task at a time, while the caller waits.
//
// A child started with a parent-death signal (platform/child_process.h)
// is killed when the thread that forked it ends, not when the program
// does. A service that must outlive the worker that asked for it, and yet
// die with the program, is therefore forked here.
#ifndef TESSAVO_PLATFORM_LASTING_THREAD_H_
#define TESSAVO_PLATFORM_LASTING_THREAD_H_

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform {

class LastingThread {
 public:
  LastingThread() : thread_([this] { serve(); }) {}
  ~LastingThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  LastingThread(const LastingThread&) = delete;
  LastingThread& operator=(const LastingThread&) = delete;

  // Runs `task` on the thread and returns when it is done. Callers on
  // several threads take turns.
  void run(const std::function<void()>& task) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return task_ == nullptr; });
    task_ = &task;
    changed_.notify_all();
    changed_.wait(lock, [this, &task] { return task_ != &task; });
  }

 private:
  void serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return quit_ || task_ != nullptr; });
      if (task_ == nullptr) return;
      const std::function<void()>* task = task_;
      lock.unlock();
      (*task)();
      lock.lock();
      task_ = nullptr;
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* task_ = nullptr;  // the task being run, or none
  bool quit_ = false;
  std::thread thread_;  // last, so it starts once the rest is made
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_LASTING_THREAD_H_
