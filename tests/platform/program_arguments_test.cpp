#include "platform/program_arguments.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/process.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

// Run as the child of the next test: writes its arguments, one per line.
TEST(ProgramArguments, Child) {
  const char* out = std::getenv("TESSAVO_ARGUMENTS_OUT");
  if (out == nullptr) GTEST_SKIP() << "only as a child";
  std::ofstream file(out, std::ios::binary);
  for (const std::string& argument : platform::programArguments()) file << argument << '\n';
}

TEST(ProgramArguments, AreTheBytesGivenAfterTheName) {
  const test_support::TempFolder folder("program_arguments");
  const std::string out = folder / "arguments";
  ::setenv("TESSAVO_ARGUMENTS_OUT", out.c_str(), 1);
  int exitCode = -1;
  ASSERT_TRUE(platform::runAndWait("\"" + platform::executablePath() +
                                       "\" --gtest_filter=ProgramArguments.Child \"a b\" \"\" "
                                       "\xE6\xA4\x9C\xFF.htm",
                                   &exitCode));
  ::unsetenv("TESSAVO_ARGUMENTS_OUT");
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(test_support::readFile(out),
            "--gtest_filter=ProgramArguments.Child\na b\n\n\xE6\xA4\x9C\xFF.htm\n");
}

}  // namespace
