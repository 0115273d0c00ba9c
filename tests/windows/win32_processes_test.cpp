// Starting and ending programs through CreateProcessA and job objects:
// the validator's outcomes, stop and time-out with the processes it
// started, and command lines that keep CP932 paths whole.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/child_process.h"
#include "platform/process.h"
#include "tests/support/temp_folder.h"
#include "tests/windows/standin.h"

namespace {

using End = platform::ChildOutcome::End;

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

}  // namespace
