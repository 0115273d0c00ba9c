#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::splitCommandLine;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheCRuntimeRules) {
  struct Case {
    const char* line;
    Args arguments;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"prog", {"prog"}},
      {"  prog  a\tb  ", {"prog", "a", "b"}},
      // The program name: quotes group and vanish, backslashes stay.
      {"\"C:\\SP\\bin\\nsgmls.exe\" -s", {"C:\\SP\\bin\\nsgmls.exe", "-s"}},
      {"\"/opt/my tools/v\" x", {"/opt/my tools/v", "x"}},
      {"a\\\"b c", {"a\\b c"}},  // no escapes in the program name
      {"\"\" x", {"", "x"}},
      // Further arguments.
      {"p \"a b\" c", {"p", "a b", "c"}},
      {"p a\"b c\"d", {"p", "ab cd"}},
      {"p \"\"", {"p", ""}},
      {"p a\\\\b", {"p", "a\\\\b"}},           // backslashes not before a quote
      {"p a\\\"b", {"p", "a\"b"}},             // 1 backslash + quote: literal quote
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},     // 2 + quote: one backslash, quote groups
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},       // 3 + quote: one backslash, literal quote
      {"p \"a\"\"b\" c", {"p", "a\"b", "c"}},  // "" in a group: literal, group goes on
      {"p \"a\"\"b c\"", {"p", "a\"b c"}},
      {"p \"unterminated group", {"p", "unterminated group"}},
      {"p -c\"/x/catalog\" -f\"/t/$error.out\" -s \"/d/$conv.sgml\"",
       {"p", "-c/x/catalog", "-f/t/$error.out", "-s", "/d/$conv.sgml"}},
      {"p \"C:\\dir\\\\\" next", {"p", "C:\\dir\\", "next"}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
}

TEST(QuotedArgumentText, RoundTripsThroughTheSplit) {
  const char* cases[] = {"/plain/path", "C:\\dir\\a.htm", "a\"b", "a\\\"b",
                         "end\\",       "end\\\\",        "",     "  blanks  ",
                         "\"\"",        "tab\there"};
  for (const char* argument : cases) {
    const std::string line = "p -x\"" + platform::quotedArgumentText(argument) + "\" \"" +
                             platform::quotedArgumentText(argument) + "\"";
    EXPECT_EQ(splitCommandLine(line), (Args{"p", std::string("-x") + argument, argument})) << line;
  }
  EXPECT_EQ(platform::quotedArgumentText("C:\\TEMP\\$error.out"), "C:\\TEMP\\$error.out");
}

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
  const std::string program = script("slow", "sleep 0.2; echo done > \"$1\"");
  ASSERT_TRUE(platform::startDetached("\"" + program + "\" " + folder_ + "out"));
  // startDetached returned before the child finished its work.
  EXPECT_EQ(read("out"), "");
  for (int i = 0; i < 100 && read("out").empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(read("out"), "done\n");
  // No child of ours is left to reap.
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
