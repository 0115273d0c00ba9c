#include "engine/thread.h"

#include <system_error>

Thread::~Thread() {
  stopAndWait();
}

bool Thread::start(void* argument) {
  if (isRunning()) return false;
  // The previous worker has returned from run(); joining only reaps it.
  if (workerThread_ && workerThread_->joinable()) workerThread_->join();
  workerThread_.reset();

  argument_ = argument;
  stopRequested.store(false);
  // Set before the worker exists, so that isRunning() is true from the moment
  // start() returns until the worker clears it.
  running_.store(true);
  try {
    workerThread_ = std::make_unique<std::thread>(&Thread::workerEntry, this);
  } catch (const std::system_error&) {
    running_.store(false);
    return false;
  }
  return true;
}

void Thread::stop() {
  if (isRunning()) stopRequested.store(true);
}

bool Thread::isRunning() const {
  return running_.load();
}

int Thread::exitCode() const {
  return exitCode_.load();
}

void Thread::stopAndWait() {
  if (!workerThread_) return;
  if (isRunning()) stopRequested.store(true);
  if (workerThread_->joinable()) workerThread_->join();
  workerThread_.reset();
}

void Thread::workerEntry() {
  exitCode_.store(run(argument_));
  running_.store(false);
}
