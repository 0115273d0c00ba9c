// A long-lived child serving on loopback: its port read back from the
// kernel, its end seen, its group ended.
#include "platform/service_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/executable_path.h"
#include "tests/support/bounded_wait.h"
#include "tests/support/file_contents.h"
#include "tests/support/process_end.h"
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

// Run by OutlivesTheThreadThatAskedButNotTheProgram as a program of its
// own: starts a service, names its process id, and waits to be killed.
TEST(ServiceProcess, OwnerOfAService) {
  const char* out = std::getenv("TESSAVO_SERVICE_PID_OUT");
  if (out == nullptr) GTEST_SKIP() << "only as a child";
  ServiceProcess held;
  int error = 0;
  ASSERT_TRUE(held.start(python("import time\ntime.sleep(60)\n", "/"), &error)) << error;
  const std::string written = std::string(out) + ".part";
  std::ofstream(written) << held.pid();
  std::rename(written.c_str(), out);
  for (;;) ::pause();
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

  // A program holding a service (this test program, as OwnerOfAService),
  // killed with SIGKILL.
  const std::string pidFile = folder.path() + "service.pid";
  ::setenv("TESSAVO_SERVICE_PID_OUT", pidFile.c_str(), 1);
  platform::ChildLaunch self;
  self.program = platform::executablePath();
  self.arguments = {self.program, "--gtest_filter=ServiceProcess.OwnerOfAService"};
  ServiceProcess owner;
  ASSERT_TRUE(owner.start(self, &error)) << error;
  ::unsetenv("TESSAVO_SERVICE_PID_OUT");
  test_support::waitUntil([&] { return test_support::pathExists(pidFile); },
                          "the program to start its service");
  const int pid = std::stoi(test_support::readFile(pidFile));
  ASSERT_GT(pid, 0);
  EXPECT_FALSE(test_support::processEnded(pid, 0));
  ::kill(owner.pid(), SIGKILL);
  EXPECT_TRUE(test_support::processEnded(pid, static_cast<int>(test_support::kWaitBound.count())))
      << "the service of a killed program still runs";
}

}  // namespace
