#include "platform/temp_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/validator_environment.h"
#include "tests/support/temp_folder.h"

namespace {

// Points the temporary folder at a fresh place for one test.
class TempFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = temp_.path().substr(0, temp_.path().size() - 1);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("TMPDIR", base_.c_str(), 1);
  }

  std::string own() const { return base_ + "/tessavo-" + std::to_string(::getuid()) + "/"; }

  test_support::TempFolder temp_{"temp_files_test"};
  std::string base_;
};

TEST_F(TempFilesTest, UsesThePrivateRuntimeFolderWhenSet) {
  ::setenv("XDG_RUNTIME_DIR", base_.c_str(), 1);
  EXPECT_EQ(platform::tempFolder(), base_ + "/");
  // A runtime folder that does not exist is passed over.
  ::setenv("XDG_RUNTIME_DIR", (base_ + "/missing").c_str(), 1);
  EXPECT_EQ(platform::tempFolder(), own());
}

TEST_F(TempFilesTest, MakesAPrivateFolderUnderTmpdir) {
  EXPECT_EQ(platform::tempFolder(), own());
  struct stat status {};
  ASSERT_EQ(::lstat(own().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  // A folder of ours left open to others is closed again.
  ::chmod(own().c_str(), 0755);
  EXPECT_EQ(platform::tempFolder(), own());
  ASSERT_EQ(::lstat(own().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST_F(TempFilesTest, RefusesALinkPlantedAtItsName) {
  ASSERT_EQ(::mkdir((base_ + "/elsewhere").c_str(), 0700), 0);
  ASSERT_EQ(::symlink((base_ + "/elsewhere").c_str(), own().substr(0, own().size() - 1).c_str()),
            0);
  const std::string folder = platform::tempFolder();
  EXPECT_NE(folder, own());
  EXPECT_EQ(folder.rfind(base_ + "/tessavo-", 0), 0u) << folder;
  EXPECT_EQ(folder.back(), '/');
  struct stat status {};
  ASSERT_EQ(::lstat(folder.c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_EQ(platform::tempFolder(), folder);  // the same folder for the process
}

TEST_F(TempFilesTest, UniqueFilesAreCreatedEmptyAndDistinct) {
  const std::string folder = platform::tempFolder();
  const std::string a = platform::createUniqueFile(folder, "tvx");
  const std::string b = platform::createUniqueFile(folder, "tvx");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(folder + "tvx", 0), 0u);
  struct stat status {};
  ASSERT_EQ(::stat(a.c_str(), &status), 0);
  EXPECT_EQ(status.st_size, 0);
  EXPECT_EQ(platform::createUniqueFile(folder + "missing/", "tvx"), "");
  EXPECT_EQ(platform::createUniqueFile("", "tvx"), "");
}

TEST(ExecutablePath, NamesThisTestProgram) {
  const std::string path = platform::executablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  EXPECT_EQ(::access(path.c_str(), X_OK), 0);
}

TEST(ValidatorEnvironment, SetsTheCharsetWhateverTheUserExported) {
  ::setenv("SP_ENCODING", "UTF-8", 1);
  ::setenv("SP_BCTF", "utf-8", 1);
  ::unsetenv("SP_CHARSET_FIXED");
  ::setenv("TESSAVO_KEPT", "a=b", 1);
  const std::vector<std::string> environment = platform::validatorEnvironment("EUC-JP");
  ::unsetenv("SP_ENCODING");
  ::unsetenv("SP_BCTF");
  ::unsetenv("TESSAVO_KEPT");
  auto count = [&](const std::string& prefix) {
    return std::count_if(environment.begin(), environment.end(),
                         [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(count("SP_ENCODING="), 1);
  EXPECT_EQ(count("SP_ENCODING=EUC-JP"), 1);
  EXPECT_EQ(count("SP_CHARSET_FIXED=YES"), 1);
  EXPECT_EQ(count("SP_BCTF="), 0);
  EXPECT_EQ(count("TESSAVO_KEPT=a=b"), 1);
  EXPECT_EQ(count("PATH="), 1);
  // The program's own environment is left as it was.
  EXPECT_EQ(std::getenv("SP_CHARSET_FIXED"), nullptr);
}

}  // namespace
