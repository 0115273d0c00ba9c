#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace platform {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

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

std::vector<std::string> splitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  const char* p = commandLine.c_str();

  // Leading blanks are passed over, as the process creation does when it
  // looks for the program. The program name: quotes group and are dropped,
  // backslashes are plain.
  while (isBlank(*p)) ++p;
  if (*p == '\0') return arguments;
  std::string program;
  bool inQuotes = false;
  while (*p != '\0' && (inQuotes || !isBlank(*p))) {
    if (*p == '"') {
      inQuotes = !inQuotes;
    } else {
      program.push_back(*p);
    }
    ++p;
  }
  arguments.push_back(program);

  for (;;) {
    while (isBlank(*p)) ++p;
    if (*p == '\0') break;
    std::string argument;
    inQuotes = false;
    for (;;) {
      bool copy = true;
      std::size_t backslashes = 0;
      while (*p == '\\') {
        ++p;
        ++backslashes;
      }
      if (*p == '"') {
        if (backslashes % 2 == 0) {
          if (inQuotes && p[1] == '"') {
            ++p;  // "" inside a group: one literal quote, the group goes on
          } else {
            copy = false;
            inQuotes = !inQuotes;
          }
        }
        backslashes /= 2;
      }
      argument.append(backslashes, '\\');
      if (*p == '\0' || (!inQuotes && isBlank(*p))) break;
      if (copy) argument.push_back(*p);
      ++p;
    }
    arguments.push_back(argument);
  }
  return arguments;
}

std::string quotedArgumentText(const std::string& argument) {
  std::string result;
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    result.append(backslashes, '\\');
    backslashes = 0;
    result.push_back(c);
  }
  result.append(backslashes * 2, '\\');
  return result;
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
  std::vector<std::string> arguments = splitCommandLine(commandLine);
  if (arguments.empty()) return false;
  const std::string program = findProgram(arguments[0]);
  if (program.empty()) return false;
  std::vector<char*> argv = argumentVector(arguments);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  // The child starts with no blocked signals and SIGPIPE at its default,
  // whatever the checking thread inherited.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigaddset(&signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int error =
      ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;

  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      status = 0;
      break;
    }
  }
  if (exitCode != nullptr) {
    *exitCode = WIFEXITED(status)     ? WEXITSTATUS(status)
                : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                      : 0;
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

}  // namespace platform
