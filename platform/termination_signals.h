// The signals that ask a command-line program to end (SIGINT, SIGTERM,
// SIGHUP), received as events the main thread waits for, so that the program
// can end its work in order (stop its validator, remove its files) before it
// ends. The end of its reader is one of them: when standard output is a pipe
// whose reading end has closed (`| head`), wait() reports SIGPIPE, the
// signal a write there would have brought, which is blocked instead, so that
// such a write fails with EPIPE rather than ending the program on the spot.
//
// The constructor blocks the signals in the calling thread, and so in every
// thread started afterwards: construct the object in main() before any thread
// starts. Children get an empty signal mask of their own (child_process.h).
// wait() is for one thread; wake() may be called from any thread.
#ifndef TESSAVO_PLATFORM_TERMINATION_SIGNALS_H_
#define TESSAVO_PLATFORM_TERMINATION_SIGNALS_H_

namespace platform {

class TerminationSignals {
 public:
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Waits until one of the signals arrives or wake() is called; the signal's
  // number, or 0 for a wake(). A wake() before the wait counts. SIGPIPE for
  // a closed output comes once. Returns 0 at once where the system offers no
  // way to wait (the signals then keep their default action).
  int wait();

  // Ends the current or next wait().
  void wake();

  // Ends the process as `signal` would have ended it, so that the caller
  // (a shell, a CI runner) sees the real reason.
  [[noreturn]] static void endProcessBy(int signal);

 private:
  int signalFd_ = -1;
  int wakeFd_ = -1;
  bool outputWatched_ = true;
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_TERMINATION_SIGNALS_H_
