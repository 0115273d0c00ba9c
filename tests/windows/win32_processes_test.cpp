// Starting and ending programs through CreateProcessA and job objects:
// the validator's outcomes, stop and time-out with the processes it
// started, command lines that keep CP932 paths whole, the first moments of
// a started program, and the HTML5 checker's service with its port.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, whose address types it uses.
#include <iphlpapi.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/child_process.h"
#include "platform/process.h"
#include "platform/service_process.h"
#include "tests/support/temp_folder.h"
#include "tests/windows/standin.h"

namespace {

using End = platform::ChildOutcome::End;
using platform::ServiceProcess;

platform::ChildLaunch launchOf(const Standin& standin, std::vector<std::string> arguments = {}) {
  platform::ChildLaunch launch;
  launch.program = standin.path();
  launch.arguments = {"nsgmls"};
  launch.arguments.insert(launch.arguments.end(), arguments.begin(), arguments.end());
  return launch;
}

TEST(Win32ChildProcess, OutcomesOfTheValidator) {
  test_support::TempFolder folder("win32_child");
  const struct {
    const char* name;
    const char* script;
    End end;
    int status;
  } cases[] = {
      {"clean", "", End::Exited, 0},
      {"errors", "exit 1\n", End::Exited, 1},
      {"failing", "exit 7\n", End::Exited, 7},
      {"crashing", "crash\n", End::Signalled, static_cast<int>(0xC0000005u)},
  };
  for (const auto& c : cases) {
    const Standin standin(folder.path(), c.name, c.script);
    const platform::ChildOutcome outcome = platform::runChild(launchOf(standin), nullptr, 30);
    EXPECT_EQ(outcome.end, c.end) << c.name;
    EXPECT_EQ(outcome.status, c.status) << c.name;
  }
  EXPECT_EQ(platform::signalName(static_cast<int>(0xC0000005u)),
            "STATUS_ACCESS_VIOLATION (0xC0000005)");

  platform::ChildLaunch missing;
  missing.program = folder.path() + "missing.exe";
  missing.arguments = {"missing"};
  const platform::ChildOutcome outcome = platform::runChild(missing, nullptr, 30);
  EXPECT_EQ(outcome.end, End::NotStarted);
  EXPECT_EQ(outcome.error, ENOENT);
}

// Stop and time-out end the validator and what it started, at once.
TEST(Win32ChildProcess, StopAndTimeOutEndTheWholeJob) {
  test_support::TempFolder folder("win32_child");
  const Standin timed(folder.path(), "timed", "spawn\nhang\n");
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(platform::runChild(launchOf(timed), nullptr, 1).end, End::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_NE(timed.childProcess(), 0u);
  EXPECT_FALSE(Standin::isRunning(timed.childProcess()));

  const Standin stopped(folder.path(), "stopped", "spawn\nhang\n");
  std::atomic<bool> stop{false};
  std::thread stopper([&] {
    stopped.waitForRun();
    test_support::waitUntil([&] { return stopped.childProcess() != 0; }, "the validator's child");
    stop = true;
  });
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(platform::runChild(launchOf(stopped), &stop, 60).end, End::Stopped);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_FALSE(Standin::isRunning(stopped.childProcess()));
}

// Arguments come whole to the validator: blanks, quotes, and a CP932 trail
// byte 0x5C before a closing quote, which is no backslash to double.
TEST(Win32ChildProcess, CommandLinesKeepEveryArgumentWhole) {
  test_support::TempFolder folder("win32_child");
  const Standin standin(folder.path(), "args", "");
  platform::ChildLaunch launch = launchOf(
      standin, {"-DC:\\docs\\\x95\x5C", "-Dmy docs\\\x95\x5C", "-Dmy docs\\", "say \"hi\"", ""});
  launch.folder = folder.path();
  launch.environment = std::vector<std::string>{"SP_ENCODING=EUC-JP", "PATH=C:\\windows"};
  EXPECT_EQ(platform::runChild(launch, nullptr, 30).end, End::Exited);
  EXPECT_EQ(standin.log(),
            "nsgmls -DC:\\docs\\\x95\x5C \"-Dmy docs\\\x95\x5C\" \"-Dmy docs\\\\\" "
            "\"say \\\"hi\\\"\" \"\"\nEUC-JP\n" +
                folder.path().substr(0, folder.path().size() - 1) + "\n");
}

TEST(Win32Process, FindsAndRunsProgramsOnPath) {
  const std::string shell = platform::findProgram("cmd");
  ASSERT_FALSE(shell.empty());
  EXPECT_EQ(shell.substr(shell.size() - 8), "\\cmd.exe") << shell;
  EXPECT_EQ(platform::findProgram("tessavo-no-such-program"), "");
  int exitCode = -1;
  ASSERT_TRUE(platform::runAndWait("cmd /c exit 3", &exitCode));
  EXPECT_EQ(exitCode, 3);
  EXPECT_FALSE(platform::runAndWait("tessavo-no-such-program", &exitCode));
  EXPECT_FALSE(platform::startDetached(""));
}

// A program that fails at once is told; one that runs on is left to run.
TEST(Win32Process, WatchesAStartedProgramsFirstMoments) {
  test_support::TempFolder folder("win32_watch");
  const Standin three(folder.path(), "three", "exit 3\n");
  const Standin slow(folder.path(), "slow", "sleep 1500\n");
  const struct {
    std::string commandLine;
    int watchMilliseconds;
    End end;
    int status;
    int error;
  } cases[] = {
      {"\"" + three.path() + "\" -x", 10000, End::Exited, 3, 0},
      {"\"" + slow.path() + "\"", 100, End::Running, 0, 0},
      {folder.path() + "missing.exe", 100, End::NotStarted, 0, ENOENT},
      {"", 100, End::NotStarted, 0, ENOENT},
  };
  for (const auto& c : cases) {
    const platform::ChildOutcome outcome =
        platform::startWatched(c.commandLine, c.watchMilliseconds);
    EXPECT_EQ(outcome.end, c.end) << c.commandLine;
    EXPECT_EQ(outcome.status, c.status) << c.commandLine;
    EXPECT_EQ(outcome.error, c.error) << c.commandLine;
  }
  EXPECT_TRUE(platform::startDetached("\"" + three.path() + "\""));
  // A running program's file cannot be deleted: the folder goes after it.
  test_support::waitUntil([&] { return DeleteFileA(slow.path().c_str()) != 0; },
                          "the slow program to end");
}

// Whether the system's table of listening sockets names the owner of the
// one on 127.0.0.1 at `port`: Windows does; wine 8 gives every socket the
// owner 0, since its sockets are held by its server process.
bool namesTheOwnerOfListener(int port) {
  ULONG size = 0;
  GetExtendedTcpTable(nullptr, &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_LISTENER, 0);
  std::vector<char> buffer(size + 4096);
  size = static_cast<ULONG>(buffer.size());
  if (GetExtendedTcpTable(buffer.data(), &size, FALSE, AF_INET, TCP_TABLE_OWNER_PID_LISTENER, 0) !=
      NO_ERROR) {
    return false;
  }
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    if (ntohs(static_cast<u_short>(table->table[i].dwLocalPort)) == port) {
      return table->table[i].dwOwningPid != 0;
    }
  }
  return false;
}

// The service's port comes from the system's table of listeners, and only
// a socket the child holds counts: another listener of the test's, on
// 127.0.0.1, is not taken for the child's, on ::1.
TEST(Win32ServiceProcess, FindsThePortItsChildListensOn) {
  test_support::TempFolder folder("win32_service");
  const Standin other(folder.path(), "other", "listen 127.0.0.1\nhang\n");
  const Standin served(folder.path(), "served", "listen ::1\nhang\n");
  ServiceProcess otherService;
  ServiceProcess service;
  int error = 0;
  ASSERT_TRUE(otherService.start(launchOf(other), &error)) << error;
  test_support::waitUntil([&] { return !other.port().empty(); }, "the other listener");
  if (!namesTheOwnerOfListener(std::stoi(other.port()))) {
    GTEST_SKIP() << "the system names no owner of a listening socket";
  }
  ASSERT_TRUE(service.start(launchOf(served), &error)) << error;
  int otherPort = 0;
  int port = 0;
  ASSERT_EQ(otherService.waitUntilListening(nullptr, 30, &otherPort),
            ServiceProcess::Wait::Listening);
  ASSERT_EQ(service.waitUntilListening(nullptr, 30, &port), ServiceProcess::Wait::Listening);
  EXPECT_EQ(std::to_string(otherPort), other.port());
  EXPECT_EQ(std::to_string(port), served.port());
  EXPECT_NE(otherPort, port);
}

TEST(Win32ServiceProcess, SeesAChildThatEndsOrNeverListensAndEndsItsJob) {
  test_support::TempFolder folder("win32_service");
  const Standin ending(folder.path(), "ending", "exit 4\n");
  const Standin silent(folder.path(), "silent", "spawn\nhang\n");
  ServiceProcess service;
  int error = 0;
  int port = 0;
  ASSERT_TRUE(service.start(launchOf(ending), &error)) << error;
  EXPECT_EQ(service.waitUntilListening(nullptr, 30, &port), ServiceProcess::Wait::Ended);
  EXPECT_EQ(service.outcome().end, End::Exited);
  EXPECT_EQ(service.outcome().status, 4);

  // end() ends the child and what it started.
  ASSERT_TRUE(service.start(launchOf(silent), &error)) << error;
  EXPECT_EQ(service.waitUntilListening(nullptr, 1, &port), ServiceProcess::Wait::TimedOut);
  std::atomic<bool> stop{true};
  EXPECT_EQ(service.waitUntilListening(&stop, 0, &port), ServiceProcess::Wait::Stopped);
  EXPECT_TRUE(service.isRunning());
  EXPECT_FALSE(service.waitForEnd(std::chrono::milliseconds(50)));
  test_support::waitUntil([&] { return silent.childProcess() != 0; }, "the service's child");
  service.end();
  EXPECT_FALSE(service.isRunning());
  EXPECT_EQ(service.outcome().end, End::Exited);
  EXPECT_FALSE(Standin::isRunning(silent.childProcess()));

  platform::ChildLaunch missing;
  missing.program = folder.path() + "missing.exe";
  missing.arguments = {"missing"};
  EXPECT_FALSE(service.start(missing, &error));
  EXPECT_EQ(error, ENOENT);
}

}  // namespace
