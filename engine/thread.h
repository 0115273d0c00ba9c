// A restartable background worker: start it, ask it to stop, poll whether it
// still runs, and have its destruction wait for it.
//
// A subclass supplies run(), which is called once per start on a new
// std::thread. The object keeps the ended thread until the next start or its
// destruction, so isRunning() can be asked at any time.
//
// Threads: start(), stop(), isRunning() and the destructor are called from
// one controlling thread (the user-interface thread). run() executes on the
// worker and reads argument() and stopRequested; both are written only while
// no worker runs, or atomically.
//
// A subclass with state of its own that run() uses must call
// stopAndWait() first thing in its destructor, because by the time ~Thread
// waits, the subclass part of the object is already gone. The object must
// not be destroyed from its own run().
#ifndef TESSAVO_ENGINE_THREAD_H_
#define TESSAVO_ENGINE_THREAD_H_

#include <atomic>
#include <memory>
#include <thread>

class Thread {
 public:
  Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  // Sets the stop request and waits without limit for a running worker.
  virtual ~Thread();

  // Starts a new worker that calls run(argument). Returns false, changing
  // nothing, while the previous worker still runs. Clears any stop request.
  virtual bool start(void* argument);

  // Asks a running worker to stop and returns at once; the worker notices
  // only where run() tests stopRequested. Does nothing when no worker runs.
  virtual void stop();

  // True from a successful start until run() has returned.
  bool isRunning() const;

  // The value run() returned the last time it ran to its end; 0 before.
  int exitCode() const;

 protected:
  // The worker's body; its result becomes exitCode().
  virtual int run(void* argument) = 0;

  void* argument() const { return argument_; }

  // Requests a stop and waits for a running worker to end. Idempotent.
  void stopAndWait();

  // Set by stop() and by destruction, cleared by start(); read by run().
  std::atomic<bool> stopRequested{false};

 private:
  void workerEntry();

  void* argument_ = nullptr;                   // not owned
  std::unique_ptr<std::thread> workerThread_;  // null before the first start
  std::atomic<bool> running_{false};
  std::atomic<int> exitCode_{0};
};

#endif  // TESSAVO_ENGINE_THREAD_H_
