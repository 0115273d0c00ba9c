#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/close_on_exec.h"
#include "platform/network_filter.h"

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How often the stop flag is looked at while the child runs.
constexpr std::chrono::milliseconds kStopCheck{40};
// How long the group has after SIGTERM before SIGKILL.
constexpr std::chrono::milliseconds kTermGrace{200};

// The texts as the array exec wants; points into `texts`.
std::vector<char*> pointerVector(std::vector<std::string>& texts) {
  std::vector<char*> vector;
  vector.reserve(texts.size() + 1);
  for (std::string& text : texts) vector.push_back(&text[0]);
  vector.push_back(nullptr);
  return vector;
}

// A descriptor that becomes readable when the child ends, or -1 where the
// kernel has none (then the child is polled).
int openProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#endif
  (void)pid;
  return -1;
}

// Waits up to `limit` for the child to end, without reaping it. True when
// it has ended.
bool waitForEnd(pid_t pid, int processFd, std::chrono::milliseconds limit) {
  const Clock::time_point until = Clock::now() + limit;
  if (processFd >= 0) {
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      pollfd entry{processFd, POLLIN, 0};
      const int ready = ::poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
      if (ready > 0) return true;
      if (ready == 0) return false;
      if (errno != EINTR) break;  // fall back to looking at the child
    }
  }
  // Without a process descriptor: look, and sleep a little longer each time.
  std::chrono::milliseconds pause{1};
  for (;;) {
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid) {
      return true;
    }
    const Clock::time_point now = Clock::now();
    if (now >= until) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, until - now));
    if (pause < kStopCheck) pause *= 2;
  }
}

int reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return 0;
  }
  return status;
}

// Ends the child's whole group, leader first asked, then told; the leader
// is still unreaped, so the group id cannot have been reused.
void endGroup(pid_t pid, int processFd) {
  ::kill(-pid, SIGTERM);
  waitForEnd(pid, processFd, kTermGrace);
  ::kill(-pid, SIGKILL);
}

// Everything the child needs, made before fork: between fork and exec a
// program with threads may make only async-signal-safe calls.
struct Preparation {
  std::vector<std::string> arguments;
  std::vector<std::string> environment;
  std::vector<char*> argv;
  std::vector<char*> envp;
  const NetworkFilter* filter = nullptr;
  int limit = 0;
};

// The child's side of startChild; never returns. A failure reaches the
// parent as an errno through `report`; a successful exec closes it.
[[noreturn]] void becomeChild(const ChildLaunch& launch, const Preparation& preparation,
                              pid_t parent, int report) {
  auto fail = [report](int error) {
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
  };
  // A group of its own first. Until then the child was in the parent's
  // group, and a terminal's Ctrl+C sent in that moment is pending here,
  // blocked; it belongs to the parent, which ends the child itself when it
  // wants. Setting a signal to "ignore" discards it; then every signal goes
  // back to its default action.
  if (::setpgid(0, 0) != 0) fail(errno);
  for (int signal = 1; signal < NSIG; ++signal) {
    if (signal == SIGKILL || signal == SIGSTOP) continue;
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    ::sigaction(signal, &action, nullptr);
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
  }
  // Ends with the parent, even when the parent is killed outright; a parent
  // that is already gone will not send it.
  if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) fail(errno);
  if (::getppid() != parent) ::_exit(127);

  const int input = ::open("/dev/null", O_RDONLY);
  const int output = ::open("/dev/null", O_WRONLY);
  if (input < 0 || output < 0) fail(errno);
  if (::dup2(input, 0) < 0 || ::dup2(output, 1) < 0 || ::dup2(output, 2) < 0) fail(errno);
  // Whatever another thread or a library opened without close-on-exec;
  // marked rather than closed, so that `report` stays open until exec.
  markCloseOnExecFrom(3, preparation.limit);
  if (!launch.folder.empty() && ::chdir(launch.folder.c_str()) != 0) fail(errno);
  if (preparation.filter != nullptr) {
    if (const int error = installNetworkFilter(*preparation.filter)) fail(error);
  }
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::execve(launch.program.c_str(), preparation.argv.data(),
           launch.environment ? preparation.envp.data() : environ);
  fail(errno);
  ::_exit(127);  // not reached
}

}  // namespace

// Returns once the child runs the program (or has failed to), so it is in
// its own group by then.
int startChild(const ChildLaunch& launch, int* pid) {
  if (launch.arguments.empty()) return EINVAL;
  Preparation preparation;
  preparation.arguments = launch.arguments;
  preparation.argv = pointerVector(preparation.arguments);
  if (launch.environment) {
    preparation.environment = *launch.environment;
    preparation.envp = pointerVector(preparation.environment);
  }
  if (launch.denyNetwork) {
    int error = 0;
    preparation.filter = networkFilter(&error);
    // Never a child with the network it was to be kept from.
    if (preparation.filter == nullptr) return error;
  }
  preparation.limit = descriptorLimit();

  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return errno;
  const int reading = pipeEnds[0];
  // Above standard error, which the child replaces before it may report.
  const int report = ::fcntl(pipeEnds[1], F_DUPFD_CLOEXEC, 3);
  ::close(pipeEnds[1]);
  if (report < 0) {
    const int error = errno;
    ::close(reading);
    return error;
  }

  // No handler of the parent may run in the child.
  sigset_t all;
  sigset_t previous;
  sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &previous);
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child == 0) becomeChild(launch, preparation, parent, report);
  const int forkError = errno;
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  ::close(report);
  if (child < 0) {
    ::close(reading);
    return forkError;
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(reading, &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(reading);
  if (got > 0) {
    reap(child);
    return error != 0 ? error : EIO;
  }
  *pid = child;
  return 0;
}

ChildOutcome runChild(const ChildLaunch& launch, const std::atomic<bool>* stop,
                      int timeoutSeconds) {
  ChildOutcome outcome;
  int pid = 0;
  outcome.error = startChild(launch, &pid);
  if (outcome.error != 0) return outcome;

  const int processFd = openProcessDescriptor(pid);
  const Clock::time_point deadline = timeoutSeconds > 0
                                         ? Clock::now() + std::chrono::seconds(timeoutSeconds)
                                         : Clock::time_point::max();
  for (;;) {
    if (stop != nullptr && stop->load()) {
      outcome.end = ChildOutcome::End::Stopped;
      break;
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      outcome.end = ChildOutcome::End::TimedOut;
      break;
    }
    const auto slice = std::min<Clock::duration>(kStopCheck, deadline - now);
    if (waitForEnd(pid, processFd,
                   std::chrono::duration_cast<std::chrono::milliseconds>(slice) +
                       std::chrono::milliseconds(1))) {
      outcome.end = ChildOutcome::End::Exited;
      break;
    }
  }
  if (outcome.end != ChildOutcome::End::Exited) endGroup(pid, processFd);
  const int status = reap(pid);
  if (processFd >= 0) ::close(processFd);
  if (outcome.end == ChildOutcome::End::Exited) {
    if (WIFSIGNALED(status)) {
      outcome.end = ChildOutcome::End::Signalled;
      outcome.status = WTERMSIG(status);
    } else {
      outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    }
  }
  return outcome;
}

std::string signalName(int signal) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
  if (const char* name = ::sigabbrev_np(signal)) return std::string("SIG") + name;
#endif
  return "SIG" + std::to_string(signal);
}

}  // namespace platform
