// A long-lived child serving on loopback: its port read back from the
// kernel, its end seen, its group ended.
#include "platform/service_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "tests/support/bounded_wait.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::ChildOutcome;
using platform::ServiceProcess;

// python3 running `script`, with `folder` as its current folder.
platform::ChildLaunch python(const std::string& script, const std::string& folder) {
  platform::ChildLaunch launch;
  launch.program = "/usr/bin/python3";
  launch.arguments = {"python3", "-c", script};
  launch.folder = folder;
  return launch;
}

TEST(ServiceProcess, FindsThePortItsChildListensOn) {
  test_support::TempFolder folder("service_process");
  // Another listener of this test's, which must not be taken for the
  // child's.
  ServiceProcess other;
  int error = 0;
  ASSERT_TRUE(other.start(python("import socket, time\n"
                                 "s = socket.socket()\ns.bind(('127.0.0.1', 0))\ns.listen()\n"
                                 "time.sleep(60)\n",
                                 folder.path()),
                          &error));
  ServiceProcess service;
  ASSERT_TRUE(
      service.start(python("import socket, time\n"
                           "s = socket.socket(socket.AF_INET6)\ns.bind(('::1', 0))\ns.listen()\n"
                           "open('port', 'w').write(str(s.getsockname()[1]))\ntime.sleep(60)\n",
                           folder.path()),
                    &error))
      << error;
  int port = 0;
  ASSERT_EQ(service.waitUntilListening(nullptr, 30, &port), ServiceProcess::Wait::Listening);
  EXPECT_EQ(std::to_string(port), test_support::readFile(folder.path() + "port"));
  EXPECT_NE(platform::loopbackListeningPort(other.pid()), port);
  service.end();
  EXPECT_FALSE(service.isRunning());
  EXPECT_EQ(service.outcome().end, ChildOutcome::End::Signalled);
}

TEST(ServiceProcess, SeesAChildThatEndsOrNeverListens) {
  test_support::TempFolder folder("service_process");
  ServiceProcess service;
  int error = 0;
  int port = 0;
  ASSERT_TRUE(service.start(python("import sys\nsys.exit(4)\n", folder.path()), &error));
  EXPECT_EQ(service.waitUntilListening(nullptr, 30, &port), ServiceProcess::Wait::Ended);
  EXPECT_EQ(service.outcome().end, ChildOutcome::End::Exited);
  EXPECT_EQ(service.outcome().status, 4);

  ASSERT_TRUE(service.start(python("import time\ntime.sleep(60)\n", folder.path()), &error));
  EXPECT_EQ(service.waitUntilListening(nullptr, 1, &port), ServiceProcess::Wait::TimedOut);
  std::atomic<bool> stop{true};
  EXPECT_EQ(service.waitUntilListening(&stop, 0, &port), ServiceProcess::Wait::Stopped);
  EXPECT_TRUE(service.isRunning());
  service.end();
  EXPECT_FALSE(service.isRunning());
  EXPECT_EQ(service.outcome().status, SIGTERM);

  platform::ChildLaunch missing;
  missing.program = folder.path() + "no-such-program";
  missing.arguments = {"no-such-program"};
  EXPECT_FALSE(service.start(missing, &error));
  EXPECT_EQ(error, ENOENT);
}

// Whether process `pid` has ended: gone, or a zombie that nobody reaped.
bool hasEnded(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string fields;
  if (!std::getline(stat, fields)) return true;
  const std::size_t state = fields.rfind(')') + 2;
  return state >= fields.size() || fields[state] == 'Z' || fields[state] == 'X';
}

// The window starts the service from a worker that ends with the run, and
// keeps it for the next run; a window killed outright must take it along.
TEST(ServiceProcess, OutlivesTheThreadThatAskedButNotTheProgram) {
  test_support::TempFolder folder("service_process");
  ServiceProcess service;
  bool started = false;
  int error = 0;
  std::thread worker([&] {
    started = service.start(python("import time\ntime.sleep(60)\n", folder.path()), &error);
  });
  worker.join();
  ASSERT_TRUE(started) << error;
  EXPECT_FALSE(service.waitForEnd(std::chrono::milliseconds(500)));
  service.end();

  // A program holding a service, killed with SIGKILL.
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  const pid_t owner = ::fork();
  ASSERT_GE(owner, 0);
  if (owner == 0) {
    ServiceProcess held;
    int pid = 0;
    if (held.start(python("import time\ntime.sleep(60)\n", folder.path()), &error)) {
      pid = held.pid();
    }
    (void)!::write(pipeEnds[1], &pid, sizeof pid);
    for (;;) ::pause();
  }
  ::close(pipeEnds[1]);
  int pid = 0;
  ASSERT_EQ(::read(pipeEnds[0], &pid, sizeof pid), static_cast<ssize_t>(sizeof pid));
  ::close(pipeEnds[0]);
  ASSERT_GT(pid, 0);
  EXPECT_FALSE(hasEnded(pid));
  ::kill(owner, SIGKILL);
  ::waitpid(owner, nullptr, 0);
  test_support::waitUntil([pid] { return hasEnded(pid); }, "the service of a killed program to end");
}

}  // namespace
