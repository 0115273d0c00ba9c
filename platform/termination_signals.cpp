#include "platform/termination_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace platform {
namespace {

sigset_t terminationSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  const sigset_t set = terminationSet();
  signalFd_ = ::signalfd(-1, &set, SFD_CLOEXEC);
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
  // Where the signals cannot be received as events, they keep their default
  // action: the program ends at once, as it did before.
  if (signalFd_ >= 0 && wakeFd_ >= 0) {
    sigset_t blocked = set;
    sigaddset(&blocked, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
  }
}

TerminationSignals::~TerminationSignals() {
  if (signalFd_ >= 0) ::close(signalFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

int TerminationSignals::wait() {
  // Without the descriptors there is nothing to wait on: the caller then
  // waits for its work by other means, and the signals act as they always do.
  if (signalFd_ < 0 || wakeFd_ < 0) return 0;
  for (;;) {
    // Asking for no event on standard output still reports POLLERR, which a
    // pipe gives once its reader has gone.
    pollfd entries[3] = {
        {signalFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}, {outputWatched_ ? 1 : -1, 0, 0}};
    if (::poll(entries, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    if (entries[2].revents != 0) {
      // A closed descriptor (POLLNVAL) is not watched again either.
      outputWatched_ = false;
      if (entries[2].revents & POLLERR) return SIGPIPE;
    }
    if (entries[0].revents & POLLIN) {
      signalfd_siginfo info{};
      if (::read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        return static_cast<int>(info.ssi_signo);
      }
    }
    if (entries[1].revents & POLLIN) {
      std::uint64_t count = 0;
      (void)!::read(wakeFd_, &count, sizeof count);
      return 0;
    }
  }
}

void TerminationSignals::wake() {
  const std::uint64_t one = 1;
  (void)!::write(wakeFd_, &one, sizeof one);
}

void TerminationSignals::endProcessBy(int signal) {
  ::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  // Not reached unless the signal was ignored from outside in a way raise()
  // cannot undo.
  std::_Exit(128 + signal);
}

}  // namespace platform
