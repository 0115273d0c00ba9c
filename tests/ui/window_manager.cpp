#include "window_manager.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

namespace {

constexpr auto kStartLimit = std::chrono::seconds(10);

pid_t windowManager = 0;
bool ready = false;

void endWindowManager() {
  if (windowManager > 0) {
    ::kill(windowManager, SIGTERM);
    ::waitpid(windowManager, nullptr, 0);
    windowManager = 0;
  }
}

}  // namespace

bool ensureWindowManager(std::string* why) {
  if (ready) return true;
  char folder[] = "/tmp/tessavo-wm-XXXXXX";
  if (::mkdtemp(folder) == nullptr) {
    if (why != nullptr) *why = "no temporary folder";
    return false;
  }
  // openbox runs its start-up command once it manages the screen: that file
  // is the signal to wait for.
  const std::string started = std::string(folder) + "/started";
  const std::string startup = "touch " + started;
  const char* argv[] = {"openbox", "--startup", startup.c_str(), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, "openbox", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
    if (why != nullptr) *why = "openbox cannot be started (scripts/packages.txt installs it)";
    return false;
  }
  const auto end = std::chrono::steady_clock::now() + kStartLimit;
  struct stat info = {};
  while (std::chrono::steady_clock::now() < end) {
    if (::stat(started.c_str(), &info) == 0) {
      windowManager = child;
      std::atexit(endWindowManager);
      ready = true;
      break;
    }
    int status = 0;
    if (::waitpid(child, &status, WNOHANG) == child) {
      // openbox gives way to a window manager that already runs.
      ready = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::unlink(started.c_str());
  ::rmdir(folder);
  if (!ready) {
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    if (why != nullptr) *why = "openbox did not manage the screen within 10 s";
  }
  return ready;
}
