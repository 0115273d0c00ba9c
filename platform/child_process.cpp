#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/process.h"

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

}  // namespace

ChildOutcome runChild(const ChildLaunch& launch, const std::atomic<bool>* stop,
                      int timeoutSeconds) {
  ChildOutcome outcome;
  if (launch.arguments.empty()) {
    outcome.error = EINVAL;
    return outcome;
  }
  std::vector<std::string> arguments = launch.arguments;
  std::vector<char*> argv = pointerVector(arguments);
  std::vector<std::string> environment;
  std::vector<char*> envp;
  if (launch.environment) {
    environment = *launch.environment;
    envp = pointerVector(environment);
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Whatever another thread or a library opened without close-on-exec.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#else
  markDescriptorsCloseOnExec();
#endif
  if (!launch.folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, launch.folder.c_str());

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  pid_t pid = 0;
  const int error = ::posix_spawn(&pid, launch.program.c_str(), &actions, &attributes, argv.data(),
                                  launch.environment ? envp.data() : environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    outcome.error = error;
    return outcome;
  }

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
