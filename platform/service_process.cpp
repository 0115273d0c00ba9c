#include "platform/service_process.h"

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How often the socket table, the child and the stop flag are looked at.
constexpr std::chrono::milliseconds kLook{40};
// How long the group has after SIGTERM before SIGKILL.
constexpr std::chrono::milliseconds kTermGrace{500};

// Local addresses of the kernel's tables that are loopback: 127.0.0.1 in
// /proc/net/tcp, and 127.0.0.1 mapped into IPv6 or ::1 in /proc/net/tcp6.
const char* const kLoopbackAddresses[] = {
    "0100007F",
    "0000000000000000FFFF00000100007F",
    "00000000000000000000000001000000",
};
// The state of a listening socket in those tables.
const char kListenState[] = "0A";

// The inodes of the sockets process `pid` holds.
std::set<std::string> socketInodes(int pid) {
  std::set<std::string> inodes;
  const std::string folder = "/proc/" + std::to_string(pid) + "/fd/";
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return inodes;
  while (const dirent* entry = ::readdir(listing)) {
    char target[64];
    const ssize_t length = ::readlink((folder + entry->d_name).c_str(), target, sizeof target - 1);
    if (length <= 0) continue;
    const std::string link(target, static_cast<std::size_t>(length));
    const std::string prefix = "socket:[";
    if (link.compare(0, prefix.size(), prefix) == 0 && link.back() == ']') {
      inodes.insert(link.substr(prefix.size(), link.size() - prefix.size() - 1));
    }
  }
  ::closedir(listing);
  return inodes;
}

bool isLoopback(const std::string& address) {
  for (const char* loopback : kLoopbackAddresses) {
    if (address == loopback) return true;
  }
  return false;
}

}  // namespace

int loopbackListeningPort(int pid) {
  const std::set<std::string> inodes = socketInodes(pid);
  if (inodes.empty()) return 0;
  for (const char* table : {"/net/tcp", "/net/tcp6"}) {
    std::ifstream file("/proc/" + std::to_string(pid) + table);
    std::string line;
    std::getline(file, line);  // the column names
    while (std::getline(file, line)) {
      // sl local_address rem_address st tx_queue:rx_queue tr:tm->when
      // retrnsmt uid timeout inode ...
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
          timeout >> inode;
      if (state != kListenState || inodes.count(inode) == 0) continue;
      const std::size_t colon = local.find(':');
      if (colon == std::string::npos || !isLoopback(local.substr(0, colon))) continue;
      const long port = std::strtol(local.c_str() + colon + 1, nullptr, 16);
      if (port > 0 && port < 65536) return static_cast<int>(port);
    }
  }
  return 0;
}

ServiceProcess::~ServiceProcess() {
  end();
}

bool ServiceProcess::start(const ChildLaunch& launch, int* error) {
  end();
  outcome_ = ChildOutcome();
  // Forked on a thread of this object's: the child dies with that thread,
  // that is with this object or with the whole program, however it ends,
  // and not with the worker that happened to ask for it.
  if (!launcher_) launcher_ = std::make_unique<LastingThread>();
  int pid = 0;
  int failure = 0;
  launcher_->run([&] { failure = startChild(launch, &pid); });
  if (failure != 0) {
    *error = failure;
    return false;
  }
  pid_ = pid;
  return true;
}

ServiceProcess::Wait ServiceProcess::waitUntilListening(const std::atomic<bool>* stop,
                                                        int timeoutSeconds, int* port) {
  const Clock::time_point deadline = timeoutSeconds > 0
                                         ? Clock::now() + std::chrono::seconds(timeoutSeconds)
                                         : Clock::time_point::max();
  for (;;) {
    if (!isRunning()) return Wait::Ended;
    *port = loopbackListeningPort(pid_);
    if (*port != 0) return Wait::Listening;
    if (stop != nullptr && stop->load()) return Wait::Stopped;
    if (Clock::now() >= deadline) return Wait::TimedOut;
    std::this_thread::sleep_for(kLook);
  }
}

void ServiceProcess::reapIfEnded() {
  if (pid_ == 0) return;
  int status = 0;
  pid_t reaped;
  while ((reaped = ::waitpid(pid_, &status, WNOHANG)) < 0 && errno == EINTR) {
  }
  if (reaped != pid_) return;
  if (WIFSIGNALED(status)) {
    outcome_.end = ChildOutcome::End::Signalled;
    outcome_.status = WTERMSIG(status);
  } else {
    outcome_.end = ChildOutcome::End::Exited;
    outcome_.status = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
  }
  pid_ = 0;
}

bool ServiceProcess::isRunning() {
  reapIfEnded();
  return pid_ != 0;
}

bool ServiceProcess::waitForEnd(std::chrono::milliseconds limit) {
  const Clock::time_point until = Clock::now() + limit;
  while (isRunning()) {
    if (Clock::now() >= until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

ChildOutcome ServiceProcess::outcome() {
  reapIfEnded();
  return outcome_;
}

void ServiceProcess::end() {
  reapIfEnded();
  if (pid_ == 0) return;
  // The child is not reaped yet, so its group id cannot have been reused.
  ::kill(-pid_, SIGTERM);
  if (waitForEnd(kTermGrace)) return;
  ::kill(-pid_, SIGKILL);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  outcome_.end = ChildOutcome::End::Signalled;
  outcome_.status = SIGKILL;
  pid_ = 0;
}

}  // namespace platform
