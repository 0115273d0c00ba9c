#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/file_contents.h"
#include "tests/support/report_pipe.h"
#include "tests/support/temp_folder.h"

namespace {

// A folder of small scripts for one test.
class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = temp_.path(); }

  std::string script(const std::string& name, const std::string& body, bool executable = true) {
    const std::string path = folder_ + name;
    test_support::writeFile(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), executable ? 0755 : 0644);
    return path;
  }

  std::string read(const std::string& name) { return test_support::readFile(folder_ + name); }

  test_support::TempFolder temp_{"process_test"};
  std::string folder_;
};

TEST_F(ProcessTest, RunsWaitsAndReturnsTheExitCode) {
  const std::string program =
      script("args", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$1\"\nexit 7");
  int exitCode = -1;
  ASSERT_TRUE(platform::runAndWait("\"" + program + "\" " + folder_ + "out \"two words\" a\\\"b",
                                   &exitCode));
  EXPECT_EQ(exitCode, 7);
  EXPECT_EQ(read("out"), "[" + folder_ + "out][two words][a\"b]");
}

TEST_F(ProcessTest, RefusesWhatCannotBeStarted) {
  script("plain", "exit 0", /*executable=*/false);
  int exitCode = 0;
  EXPECT_FALSE(platform::runAndWait("", &exitCode));
  EXPECT_FALSE(platform::runAndWait(folder_ + "missing", &exitCode));
  EXPECT_FALSE(platform::runAndWait(folder_ + "plain", &exitCode));
  EXPECT_FALSE(platform::runAndWait("\"" + folder_ + "\"", &exitCode));  // a folder
  EXPECT_FALSE(platform::runAndWait("tessavo-no-such-program-anywhere", &exitCode));
  EXPECT_FALSE(platform::startDetached(folder_ + "missing"));
}

TEST_F(ProcessTest, SearchesPathForBareNames) {
  script("tessavo-found-on-path", "exit 3");
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", ("/nonexistent::" + folder_ + ":" + oldPath).c_str(), 1);
  EXPECT_EQ(platform::findProgram("tessavo-found-on-path"), folder_ + "tessavo-found-on-path");
  int exitCode = 0;
  EXPECT_TRUE(platform::runAndWait("tessavo-found-on-path", &exitCode));
  EXPECT_EQ(exitCode, 3);
  // A name with a slash is not searched.
  EXPECT_EQ(platform::findProgram("x/tessavo-found-on-path"), "");
  ::setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(ProcessTest, DefaultValidatorIsNsgmlsWhenOnPathElseOnsgmls) {
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", folder_.c_str(), 1);
  EXPECT_EQ(platform::defaultValidatorProgram(), "onsgmls");
  script("nsgmls", "exit 0");
  EXPECT_EQ(platform::defaultValidatorProgram(), "nsgmls");
  ::setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(ProcessTest, DetachedChildRunsOnAndLeavesNoZombie) {
  // The child waits for a line on `go` before it answers on `back`, so it
  // cannot have finished when startDetached returns.
  ASSERT_EQ(::mkfifo((folder_ + "go").c_str(), 0600), 0);
  test_support::ReportPipe back(folder_ + "back");
  const std::string program =
      script("held", "read line < \"$1/go\"; echo \"done $line\" > \"$1/back\"");
  ASSERT_TRUE(platform::startDetached("\"" + program + "\" " + folder_));
  // No child of ours is left to reap while the program runs on.
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  {
    std::ofstream go(folder_ + "go");  // opens once the child reads
    go << "now\n";
  }
  EXPECT_EQ(back.readLine(), "done now\n");
}

TEST_F(ProcessTest, WatchedStartTellsHowTheProgramsFirstMomentsWent) {
  using End = platform::ChildOutcome::End;
  script("plain", "exit 0", /*executable=*/false);
  const struct {
    std::string commandLine;
    End end;
    int status;
    int error;
  } cases[] = {
      {script("ok", "exit 0"), End::Exited, 0, 0},
      {script("three", "echo nothing to open with >&2; exit 3"), End::Exited, 3, 0},
      {script("crash", "kill -SEGV $$"), End::Signalled, SIGSEGV, 0},
      {folder_ + "missing", End::NotStarted, 0, ENOENT},
      {"tessavo-no-such-program-anywhere", End::NotStarted, 0, ENOENT},
      {folder_ + "plain", End::NotStarted, 0, EACCES},
      {"", End::NotStarted, 0, ENOENT},
  };
  for (const auto& c : cases) {
    const platform::ChildOutcome outcome = platform::startWatched(c.commandLine, 10000);
    EXPECT_EQ(outcome.end, c.end) << c.commandLine;
    EXPECT_EQ(outcome.status, c.status) << c.commandLine;
    EXPECT_EQ(outcome.error, c.error) << c.commandLine;
  }

  // A program that outlives the watch runs on, and is nobody's zombie.
  ASSERT_EQ(::mkfifo((folder_ + "go").c_str(), 0600), 0);
  test_support::ReportPipe back(folder_ + "back");
  const std::string held = script("held", "read line < \"$1/go\"; echo \"$line\" > \"$1/back\"");
  EXPECT_EQ(platform::startWatched("\"" + held + "\" " + folder_, 100).end, End::Running);
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  {
    std::ofstream go(folder_ + "go");
    go << "on\n";
  }
  EXPECT_EQ(back.readLine(), "on\n");
}

TEST_F(ProcessTest, ChildrenInheritOnlyStandardDescriptors) {
  // Descriptors a library might open without close-on-exec.
  const int leakedFile = ::open("/dev/null", O_RDONLY);
  int leakedPipe[2];
  ASSERT_EQ(::pipe(leakedPipe), 0);
  const std::string report = TESSAVO_BINARY_DIR "/bin/descriptor_report";
  {
    test_support::ReportPipe detached(folder_ + "detached");
    ASSERT_TRUE(platform::startDetached(report + " " + detached.path()));
    EXPECT_EQ(detached.readLine(), "0 1 2\n");
  }
  {
    test_support::ReportPipe waited(folder_ + "waited");
    int exitCode = -1;
    ASSERT_TRUE(platform::runAndWait(report + " " + waited.path(), &exitCode));
    EXPECT_EQ(waited.readLine(), "0 1 2\n");
    EXPECT_EQ(exitCode, 0);
  }
  // After marking, the program's own descriptors would not pass an exec
  // even without the closing in the child.
  platform::markDescriptorsCloseOnExec();
  EXPECT_NE(::fcntl(leakedFile, F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_NE(::fcntl(leakedPipe[1], F_GETFD) & FD_CLOEXEC, 0);
  ::close(leakedFile);
  ::close(leakedPipe[0]);
  ::close(leakedPipe[1]);
}

}  // namespace
