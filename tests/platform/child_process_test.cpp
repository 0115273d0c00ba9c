#include "platform/child_process.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>

#include "tests/support/file_contents.h"
#include "tests/support/process_end.h"
#include "tests/support/report_pipe.h"
#include "tests/support/temp_folder.h"

namespace {

using End = platform::ChildOutcome::End;
using std::chrono::seconds;

class ChildProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    temp_ =
        std::make_unique<test_support::TempFolder>(std::string("child_process_") + info->name());
    folder_ = temp_->path();
  }

  std::string script(const std::string& name, const std::string& body) {
    const std::string path = folder_ + name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path;
  }

  static platform::ChildLaunch childLaunch(const std::string& program,
                                           std::vector<std::string> arguments = {}) {
    platform::ChildLaunch launch;
    launch.program = program;
    arguments.insert(arguments.begin(), program);
    launch.arguments = arguments;
    return launch;
  }

  std::unique_ptr<test_support::TempFolder> temp_;
  std::string folder_;
};

TEST_F(ChildProcessTest, OutcomeSaysHowTheChildEnded) {
  ASSERT_EQ(::mkdir((folder_ + "folder").c_str(), 0755), 0);
  const struct {
    std::string program;
    End end;
    int status;
    int error;
  } cases[] = {
      {script("ok", "exit 0"), End::Exited, 0, 0},
      {script("errors", "exit 1"), End::Exited, 1, 0},
      {script("three", "exit 3"), End::Exited, 3, 0},
      {script("crash", "kill -SEGV $$"), End::Signalled, SIGSEGV, 0},
      {script("abort", "kill -ABRT $$"), End::Signalled, SIGABRT, 0},
      {folder_ + "missing", End::NotStarted, 0, ENOENT},
      {folder_ + "folder", End::NotStarted, 0, EACCES},
  };
  for (const auto& c : cases) {
    const platform::ChildOutcome outcome = platform::runChild(childLaunch(c.program), nullptr, 0);
    EXPECT_EQ(outcome.end, c.end) << c.program;
    EXPECT_EQ(outcome.status, c.status) << c.program;
    EXPECT_EQ(outcome.error, c.error) << c.program;
  }
  EXPECT_EQ(platform::runChild(platform::ChildLaunch{}, nullptr, 0).end, End::NotStarted);
}

TEST_F(ChildProcessTest, RunsInItsFolderWithItsEnvironmentAndName) {
  ASSERT_EQ(::mkdir((folder_ + "work \"here\"").c_str(), 0700), 0);
  ::setenv("TESSAVO_PARENT_ONLY", "x", 1);
  test_support::ReportPipe report(folder_ + "report");
  platform::ChildLaunch child;
  child.program = "/bin/sh";
  child.arguments = {"given-name", "-c",
                     "printf '%s|%s|%s|%s\\n' \"$(pwd)\" \"$A\" \"${TESSAVO_PARENT_ONLY-unset}\" "
                     "\"$(tr '\\0' ' ' < /proc/$$/cmdline)\" > \"$0\"",
                     report.path()};
  child.folder = folder_ + "work \"here\"";
  child.environment = std::vector<std::string>{"A=1 2", "PATH=/usr/bin:/bin"};
  const platform::ChildOutcome outcome = platform::runChild(child, nullptr, 0);
  ::unsetenv("TESSAVO_PARENT_ONLY");
  EXPECT_EQ(outcome.end, End::Exited);
  EXPECT_EQ(report.readLine(), folder_ + "work \"here\"|1 2|unset|given-name -c " +
                                   child.arguments[2] + " " + report.path() + " \n");
}

// A child that announces itself, starts a grandchild in its group and waits.
// `trap` is put first, so a child that ignores SIGTERM can be made.
std::string heldChild(const std::string& trap) {
  return trap + "\nsleep 600 &\necho $! > \"$1\"\nwait\n";
}

TEST_F(ChildProcessTest, StopEndsTheWholeGroupWithinASecond) {
  const struct {
    const char* name;
    const char* trap;
  } cases[] = {{"polite", ""}, {"stubborn", "trap '' TERM"}};
  for (const auto& c : cases) {
    test_support::ReportPipe started(folder_ + c.name + ".pid");
    std::atomic<bool> stop{false};
    auto running = std::async(std::launch::async, [&] {
      return platform::runChild(childLaunch(script(c.name, heldChild(c.trap)), {started.path()}),
                                &stop, 0);
    });
    const std::string pid = started.readLine();
    ASSERT_NE(pid.find('\n'), std::string::npos) << c.name << ": " << pid;
    stop = true;
    ASSERT_EQ(running.wait_for(seconds(1)), std::future_status::ready) << c.name;
    EXPECT_EQ(running.get().end, End::Stopped) << c.name;
    EXPECT_TRUE(test_support::processEnded(std::atoi(pid.c_str())))
        << c.name << ": the grandchild runs on";
  }
}

TEST_F(ChildProcessTest, TimeLimitEndsTheChild) {
  test_support::ReportPipe started(folder_ + "pid");
  auto running = std::async(std::launch::async, [&] {
    return platform::runChild(childLaunch(script("slow", heldChild("")), {started.path()}), nullptr,
                              1);
  });
  const std::string pid = started.readLine();
  ASSERT_EQ(running.wait_for(seconds(10)), std::future_status::ready);
  EXPECT_EQ(running.get().end, End::TimedOut);
  EXPECT_TRUE(test_support::processEnded(std::atoi(pid.c_str())));
}

TEST_F(ChildProcessTest, SignalsToTheParentsGroupNeverReachTheChild) {
  // A child is in its parent's group until it has made its own: a Ctrl+C in
  // that moment belongs to the parent, which stops the child itself.
  const std::string ended = folder_ + "ended";
  const std::string storm = TESSAVO_BINARY_DIR "/bin/group_signal_storm /bin/true 300";
  ASSERT_EQ(std::system((storm + " > '" + ended + "'").c_str()), 0);
  EXPECT_EQ(test_support::readFile(ended), "0\n") << "children ended by the parent's Ctrl+C";
}

TEST_F(ChildProcessTest, ChildWithoutNetworkOpensOnlyLocalSockets) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(::listen(listener, 8), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string port = std::to_string(ntohs(address.sin_port));

  // Each family's socket() result as errno names it ("ok" when allowed),
  // then a connection to the listener.
  const std::string probe =
      "import errno, socket, sys\n"
      "for family in (socket.AF_UNIX, socket.AF_INET, socket.AF_INET6, socket.AF_NETLINK):\n"
      "  try:\n"
      "    socket.socket(family, socket.SOCK_DGRAM).close(); print('ok', end=' ')\n"
      "  except OSError as e:\n"
      "    print(errno.errorcode[e.errno], end=' ')\n"
      "try:\n"
      "  socket.create_connection(('127.0.0.1', int(sys.argv[1])), 5).close(); print('connected')\n"
      "except OSError as e:\n"
      "  print(errno.errorcode[e.errno])\n";
  const struct {
    bool denyNetwork;
    const char* report;
  } cases[] = {
      {true, "ok EACCES EACCES EACCES EACCES\n"},
      {false, "ok ok ok ok connected\n"},
  };
  for (const auto& c : cases) {
    test_support::ReportPipe report(folder_ + "report");
    platform::ChildLaunch child = childLaunch(
        "/bin/sh", {"-c", "python3 -c \"$1\" \"$3\" > \"$2\"", "sh", probe, report.path(), port});
    child.denyNetwork = c.denyNetwork;
    const platform::ChildOutcome outcome = platform::runChild(child, nullptr, 20);
    EXPECT_EQ(outcome.end, End::Exited);
    EXPECT_EQ(report.readLine(), c.report) << c.denyNetwork;
    pollfd entry{listener, POLLIN, 0};
    const bool reached = ::poll(&entry, 1, 0) == 1;
    EXPECT_EQ(reached, !c.denyNetwork) << c.denyNetwork;
    if (reached) ::close(::accept(listener, nullptr, nullptr));
  }
  ::close(listener);
}

TEST(SignalName, SpellsTheSignalAsTheHeadersDo) {
  EXPECT_EQ(platform::signalName(SIGSEGV), "SIGSEGV");
  EXPECT_EQ(platform::signalName(SIGKILL), "SIGKILL");
  EXPECT_EQ(platform::signalName(SIGTERM), "SIGTERM");
}

}  // namespace
