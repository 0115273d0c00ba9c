#include "platform/run_folder.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

namespace {

class RunFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    temp_ = std::make_unique<test_support::TempFolder>(std::string("run_folder_") + info->name());
    parent_ = temp_->path();
  }

  static void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  static bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
  }

  // The id of a process that has ended and been reaped.
  static pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
  }

  std::unique_ptr<test_support::TempFolder> temp_;
  std::string parent_;
};

TEST_F(RunFolderTest, IsPrivateAndGoesWithEverythingInItButNeverFollowsLinks) {
  shell("mkdir -p '" + parent_ + "outside' && echo keep > '" + parent_ + "outside/file'");
  std::string path;
  {
    platform::RunFolder folder;
    ASSERT_TRUE(folder.create(parent_));
    path = folder.path();
    EXPECT_EQ(path.rfind(parent_ + "tessavo-run-" + std::to_string(::getpid()) + "-", 0), 0u)
        << path;
    EXPECT_EQ(path.back(), '/');
    struct stat status {};
    ASSERT_EQ(::lstat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    std::ofstream(path + "$error.out") << "x";
    ASSERT_TRUE(folder.link("$doc", parent_ + "outside"));
    ASSERT_TRUE(folder.link("$doc", parent_ + "outside/"));  // replaces the earlier link
    EXPECT_TRUE(exists(path + "$doc/file"));
    shell("mkdir -p '" + path + "deeper/still' && ln -s '" + parent_ + "outside' '" + path +
          "deeper/still/link'");
  }
  EXPECT_FALSE(exists(path));
  EXPECT_TRUE(exists(parent_ + "outside/file"));

  platform::RunFolder missing;
  EXPECT_FALSE(missing.create(parent_ + "no such folder/"));
  EXPECT_EQ(missing.error(), ENOENT);
  EXPECT_EQ(missing.path(), "");
  // Without a folder, a link would land in the current folder.
  EXPECT_FALSE(missing.link("$tessavo-test-link", parent_));
  EXPECT_FALSE(exists("$tessavo-test-link"));
}

TEST_F(RunFolderTest, SweepRemovesOnlyFoldersOfEndedRuns) {
  const std::string ended = "tessavo-run-" + std::to_string(endedProcess()) + "-abcdef";
  const std::string live = "tessavo-run-" + std::to_string(::getppid()) + "-abcdef";
  const std::string locked = "tessavo-run-" + std::to_string(endedProcess()) + "-locked";
  shell("cd '" + parent_ + "' && mkdir outside '" + ended + "' '" + live + "' '" + locked +
        "' && touch outside/file '" + ended + "/$conv.sgml' && ln -s ../outside '" + ended +
        "/$doc'");
  // Names that only look alike, and files, are never touched.
  const char* others[] = {"tessavo-run-", "tessavo-run-x-1", "tessavo-run-1", "tessavo-1000",
                          "unrelated"};
  for (const char* other : others) shell("mkdir -p '" + parent_ + other + "'");
  shell("cd '" + parent_ +
        "' && touch 'tessavo-run-99999999-file' && ln -s outside "
        "'tessavo-run-" +
        std::to_string(endedProcess()) + "-link'");
  // A run in a process this one cannot see still holds its lock.
  const int lock = ::open((parent_ + locked).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);

  platform::RunFolder mine;
  ASSERT_TRUE(mine.create(parent_));
  platform::RunFolder::sweepLeftovers(parent_);

  EXPECT_FALSE(exists(parent_ + ended));
  EXPECT_TRUE(exists(parent_ + "outside/file"));
  EXPECT_TRUE(exists(parent_ + live));
  EXPECT_TRUE(exists(parent_ + locked));
  EXPECT_TRUE(exists(mine.path()));
  for (const char* other : others) EXPECT_TRUE(exists(parent_ + other)) << other;
  EXPECT_TRUE(exists(parent_ + "tessavo-run-99999999-file"));
  ::close(lock);
  platform::RunFolder::sweepLeftovers(parent_);
  EXPECT_FALSE(exists(parent_ + locked));
}

TEST(FileSystem, AbsolutePathsAndFullness) {
  char* cwd = ::getcwd(nullptr, 0);
  const std::string here = cwd;
  std::free(cwd);
  EXPECT_EQ(platform::absolutePath("/a/b"), "/a/b");
  EXPECT_EQ(platform::absolutePath(""), "");
  EXPECT_EQ(platform::absolutePath("x/../y"), (here == "/" ? "/" : here + "/") + "x/../y");
  EXPECT_FALSE(platform::isFileSystemFull("/no/such/folder"));
  EXPECT_FALSE(platform::isFileSystemFull(here));
}

}  // namespace
