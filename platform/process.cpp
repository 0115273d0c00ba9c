#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/child_process.h"
#include "platform/close_on_exec.h"
#include "platform/command_line.h"

#ifndef CLOSE_RANGE_CLOEXEC
#define CLOSE_RANGE_CLOEXEC (1U << 2)
#endif

extern char** environ;

namespace platform {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The arguments as the array exec wants; points into `arguments`.
std::vector<char*> argumentVector(std::vector<std::string>& arguments) {
  std::vector<char*> vector;
  vector.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) vector.push_back(&argument[0]);
  vector.push_back(nullptr);
  return vector;
}

}  // namespace

int descriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > 65536) {
    return 65536;
  }
  return static_cast<int>(limit.rlim_cur);
}

void markCloseOnExecFrom(int first, int limit) {
#ifdef SYS_close_range
  if (::syscall(SYS_close_range, first, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
#endif
  for (int fd = first; fd < limit; ++fd) {
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags >= 0 && (flags & FD_CLOEXEC) == 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
  }
}

namespace {

// What the children of startWatched tell through its pipe: the program
// could not be executed (`value` the errno), or it ended within the watch
// (`value` its wait status). Smaller than a pipe's atomic write.
struct StartReport {
  enum Kind : int { kExecFailed, kEnded };
  int kind;
  int value;
};

// In the child between the caller and the program: waits up to
// `milliseconds` for the program's end and reports it. Async-signal-safe.
void watchChild(pid_t program, int milliseconds, int reportFd) {
  timespec start{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    int status = 0;
    const pid_t ended = ::waitpid(program, &status, WNOHANG);
    if (ended == program) {
      const StartReport report{StartReport::kEnded, status};
      (void)!::write(reportFd, &report, sizeof report);
      return;
    }
    if (ended < 0 && errno != EINTR) return;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const long elapsed =
        (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
    if (elapsed >= milliseconds) return;
    ::poll(nullptr, 0, 10);
  }
}

}  // namespace

std::string findProgram(const std::string& program) {
  if (program.empty()) return std::string();
  if (program.find('/') != std::string::npos) {
    return isExecutableFile(program) ? program : std::string();
  }
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = folders.find(':', start);
    std::string folder = folders.substr(start, end == std::string::npos ? end : end - start);
    // An empty entry of PATH means the current folder.
    if (folder.empty()) folder = ".";
    if (folder.back() != '/') folder.push_back('/');
    const std::string candidate = folder + program;
    if (isExecutableFile(candidate)) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::string();
}

std::string defaultValidatorProgram() {
  return findProgram("nsgmls").empty() ? "onsgmls" : "nsgmls";
}

bool runAndWait(const std::string& commandLine, int* exitCode) {
  ChildLaunch launch;
  launch.arguments = splitCommandLine(commandLine);
  if (launch.arguments.empty()) return false;
  launch.program = findProgram(launch.arguments[0]);
  if (launch.program.empty()) return false;
  const ChildOutcome outcome = runChild(launch, nullptr, 0);
  if (outcome.end == ChildOutcome::End::NotStarted) return false;
  if (exitCode != nullptr) {
    *exitCode = outcome.end == ChildOutcome::End::Signalled ? 128 + outcome.status : outcome.status;
  }
  return true;
}

bool startDetached(const std::string& commandLine) {
  return startWatched(commandLine, 0).end != ChildOutcome::End::NotStarted;
}

ChildOutcome startWatched(const std::string& commandLine, int watchMilliseconds) {
  ChildOutcome outcome;
  std::vector<std::string> arguments = splitCommandLine(commandLine);
  const std::string program = arguments.empty() ? std::string() : findProgram(arguments[0]);
  if (program.empty()) {
    // A named file that is there but cannot be executed, else nothing found.
    const bool present = !arguments.empty() && arguments[0].find('/') != std::string::npos &&
                         ::access(arguments[0].c_str(), F_OK) == 0;
    outcome.error = present ? EACCES : ENOENT;
    return outcome;
  }
  // Everything the children need is made before fork: between fork and exec
  // only async-signal-safe calls are allowed in a program with threads.
  std::vector<char*> argv = argumentVector(arguments);
  const int limit = descriptorLimit();
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    outcome.error = errno;
    return outcome;
  }

  // Double fork: the program runs in a grandchild, which belongs to init
  // once the child in between has ended, and so never becomes a zombie.
  // That child watches the program for the time asked and ends then. Both
  // report through the pipe: the grandchild a failure to exec, the child
  // the program's end within the watch; a successful exec closes the
  // grandchild's end without a word.
  const pid_t child = ::fork();
  if (child < 0) {
    outcome.error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return outcome;
  }
  if (child == 0) {
    ::close(report[0]);
    // The program's end must be seen here, and the program must not
    // inherit an ignored SIGCHLD either.
    ::signal(SIGCHLD, SIG_DFL);
    const pid_t grandchild = ::fork();
    if (grandchild < 0) {
      const StartReport failed{StartReport::kExecFailed, errno};
      (void)!::write(report[1], &failed, sizeof failed);
      ::_exit(1);
    }
    if (grandchild > 0) {
      watchChild(grandchild, watchMilliseconds, report[1]);
      ::_exit(0);
    }
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int input = ::open("/dev/null", O_RDONLY);
    if (input > 0) {
      ::dup2(input, 0);
      ::close(input);
    }
    // Marked rather than closed, so that the report pipe stays open until
    // the exec succeeds.
    markCloseOnExecFrom(3, limit);
    ::execve(program.c_str(), argv.data(), environ);
    const StartReport failed{StartReport::kExecFailed, errno};
    (void)!::write(report[1], &failed, sizeof failed);
    ::_exit(127);
  }
  ::close(report[1]);
  // Until both ends are closed: the exec, and the watching child's end.
  outcome.end = ChildOutcome::End::Running;
  StartReport received{};
  ssize_t got;
  while ((got = ::read(report[0], &received, sizeof received)) != 0) {
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (got != sizeof received) break;
    if (received.kind == StartReport::kExecFailed) {
      outcome.end = ChildOutcome::End::NotStarted;
      outcome.error = received.value;
    } else if (outcome.end != ChildOutcome::End::NotStarted) {
      const bool signalled = WIFSIGNALED(received.value);
      outcome.end = signalled ? ChildOutcome::End::Signalled : ChildOutcome::End::Exited;
      outcome.status = signalled ? WTERMSIG(received.value) : WEXITSTATUS(received.value);
    }
  }
  ::close(report[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return outcome;
}

void markDescriptorsCloseOnExec() {
  markCloseOnExecFrom(3, descriptorLimit());
}

}  // namespace platform
