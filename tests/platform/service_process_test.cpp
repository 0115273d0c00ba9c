// A long-lived child serving on loopback: its port read back from the
// kernel, its end seen, its group ended.
#include "platform/service_process.h"

#include <gtest/gtest.h>
#include <signal.h>

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

}  // namespace
