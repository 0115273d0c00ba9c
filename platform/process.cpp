#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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
  std::vector<std::string> arguments = splitCommandLine(commandLine);
  if (arguments.empty()) return false;
  const std::string program = findProgram(arguments[0]);
  if (program.empty()) return false;
  // Everything the children need is made before fork: between fork and exec
  // only async-signal-safe calls are allowed in a program with threads.
  std::vector<char*> argv = argumentVector(arguments);
  const int limit = descriptorLimit();
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;

  // Double fork: the intermediate child ends at once and is reaped here, so
  // the program's grandchild belongs to init and never becomes a zombie. A
  // failure to exec reaches us as an errno through the pipe; a successful
  // exec closes the pipe's write end without a word.
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    const pid_t grandchild = ::fork();
    if (grandchild < 0) {
      const int error = errno;
      (void)!::write(report[1], &error, sizeof error);
      ::_exit(1);
    }
    if (grandchild > 0) ::_exit(0);
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
    const int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  return got == 0;
}

void markDescriptorsCloseOnExec() {
  markCloseOnExecFrom(3, descriptorLimit());
}

}  // namespace platform
