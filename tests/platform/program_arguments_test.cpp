#include "platform/program_arguments.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/process.h"

namespace {

// Run as the child of the next test: writes its arguments, one per line.
TEST(ProgramArguments, Child) {
  const char* out = std::getenv("TESSAVO_ARGUMENTS_OUT");
  if (out == nullptr) GTEST_SKIP() << "only as a child";
  std::ofstream file(out, std::ios::binary);
  for (const std::string& argument : platform::programArguments()) file << argument << '\n';
}

TEST(ProgramArguments, AreTheBytesGivenAfterTheName) {
  const std::string out = ::testing::TempDir() + "arguments_" + std::to_string(::getpid());
  ::setenv("TESSAVO_ARGUMENTS_OUT", out.c_str(), 1);
  int exitCode = -1;
  ASSERT_TRUE(platform::runAndWait("\"" + platform::executablePath() +
                                       "\" --gtest_filter=ProgramArguments.Child \"a b\" \"\" "
                                       "\xE6\xA4\x9C\xFF.htm",
                                   &exitCode));
  ::unsetenv("TESSAVO_ARGUMENTS_OUT");
  EXPECT_EQ(exitCode, 0);
  std::ifstream in(out, std::ios::binary);
  const std::string lines((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(lines, "--gtest_filter=ProgramArguments.Child\na b\n\n\xE6\xA4\x9C\xFF.htm\n");
  ::unlink(out.c_str());
}

}  // namespace
