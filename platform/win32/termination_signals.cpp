#include "platform/termination_signals.h"

#include <windows.h>

#include <condition_variable>
#include <csignal>
#include <mutex>

namespace platform {
namespace {

// What the console asked for, shared with the handler, which the system
// runs on a thread of its own. One object per process is the contract, so
// one set of state serves it.
struct Pending {
  std::mutex lock;
  std::condition_variable changed;
  int signal = 0;
  bool woken = false;
};

Pending& pending() {
  static Pending state;
  return state;
}

// Ctrl+C and Ctrl+Break are the terminal's interrupt; closing the console
// window, logging off and shutting down ask the program to end.
int signalFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      return SIGINT;
    case CTRL_BREAK_EVENT:
      return SIGBREAK;
    default:
      return SIGTERM;
  }
}

BOOL WINAPI onConsoleEvent(DWORD event) {
  Pending& state = pending();
  {
    std::lock_guard<std::mutex> guard(state.lock);
    state.signal = signalFor(event);
  }
  state.changed.notify_all();
  // For a closing console the process ends when the handler returns: give
  // the program the few seconds Windows allows to stop its validator and
  // remove its files; it ends itself before that.
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(5000);
  return TRUE;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

TerminationSignals::~TerminationSignals() {
  SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

int TerminationSignals::wait() {
  Pending& state = pending();
  std::unique_lock<std::mutex> guard(state.lock);
  state.changed.wait(guard, [&state] { return state.signal != 0 || state.woken; });
  if (state.signal != 0) {
    const int signal = state.signal;
    state.signal = 0;
    return signal;
  }
  state.woken = false;
  return 0;
}

void TerminationSignals::wake() {
  Pending& state = pending();
  {
    std::lock_guard<std::mutex> guard(state.lock);
    state.woken = true;
  }
  state.changed.notify_all();
}

// The status Windows gives a console program ended by Ctrl+C, which a shell
// or CI runner reads as "interrupted".
void TerminationSignals::endProcessBy(int) {
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace platform
