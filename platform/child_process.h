// Running a child program to its end while the caller can still stop it:
// the validator of a check run.
//
// The child runs in a process group of its own, so that ending it also ends
// whatever it started, and a terminal's Ctrl+C reaches only the program,
// which then ends the child itself (also a Ctrl+C that came while the child
// was being made). It starts with standard input, output and error on
// /dev/null and no other descriptor, whatever the program has open (on any
// thread), with no blocked signals and every signal at its default action.
// It is killed when the thread that started it ends, so a program killed
// outright (kill -9) leaves no child running; runChild keeps that thread
// waiting for as long as the child runs. A child may be kept from the
// network (platform/network_filter.h).
//
// While it runs, the caller's stop flag is looked at every few tens of
// milliseconds, and the time limit is watched; either one ends the whole
// group: SIGTERM first, SIGKILL a moment later for whatever is left. The
// child is always waited for before runChild returns, so no zombie and no
// stray process group is left behind. Safe to call from any thread; each call
// waits only for its own child.
#ifndef TESSAVO_PLATFORM_CHILD_PROCESS_H_
#define TESSAVO_PLATFORM_CHILD_PROCESS_H_

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ChildLaunch {
  // The file to execute, used as it stands (findProgram() gives one).
  std::string program;
  // The child's argument vector; arguments[0] is the name it sees as its own.
  std::vector<std::string> arguments;
  // The child's current folder; empty keeps the caller's.
  std::string folder;
  // The child's whole environment as "NAME=value" texts; none keeps the
  // caller's.
  std::optional<std::vector<std::string>> environment;
  // Keeps the child from the network: it may open no socket but a local
  // one. Where that cannot be done, the child is not started.
  bool denyNetwork = false;
};

struct ChildOutcome {
  enum class End {
    NotStarted,  // the program could not be started; `error` says why
    Exited,      // `status` is its exit status
    Signalled,   // `status` is the signal that ended it
    Stopped,     // ended because the stop flag was set
    TimedOut,    // ended because the time limit passed
    Running,     // still running when the caller stopped watching it (startWatched)
  };
  End end = End::NotStarted;
  int status = 0;
  int error = 0;  // an errno value for NotStarted
};

// Starts the child and waits for its end. `stop` may be null; `timeoutSeconds`
// of 0 or less means no limit.
ChildOutcome runChild(const ChildLaunch& launch, const std::atomic<bool>* stop, int timeoutSeconds);

// Starts the child as runChild does (its own group, standard streams on
// /dev/null, no descriptor of ours, default signals) and returns without
// waiting for its end: 0 with `*pid` set, or an errno value. The child is
// killed when the thread that started it ends, also when the whole program
// is killed outright, so a long-lived child must be started from a thread
// that lives as long as the child should (platform/lasting_thread.h).
// POSIX only; the caller reaps the child.
int startChild(const ChildLaunch& launch, int* pid);

// The name of a signal as the system's headers spell it ("SIGSEGV"), or
// "SIG" and its number when it has none.
std::string signalName(int signal);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_CHILD_PROCESS_H_
