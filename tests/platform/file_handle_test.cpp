#include "platform/file_handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <set>
#include <string>
#include "tests/support/temp_folder.h"

namespace {

class FileHandleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    temp_ = std::make_unique<test_support::TempFolder>(std::string("file_handle_") + info->name());
    folder_ = temp_->path();
  }

  std::unique_ptr<test_support::TempFolder> temp_;
  std::string folder_;
};

TEST_F(FileHandleTest, ReadsOnlyRegularFilesAndNeverWaits) {
  std::ofstream(folder_ + "plain") << "text";
  ASSERT_EQ(::mkfifo((folder_ + "fifo").c_str(), 0600), 0);
  ASSERT_EQ(::symlink((folder_ + "plain").c_str(), (folder_ + "link").c_str()), 0);
  const struct {
    std::string path;
    bool opens;
    int error;
  } cases[] = {
      {folder_ + "plain", true, 0},
      {folder_ + "link", true, 0},  // a link to a document is the document
      {folder_, false, EISDIR},
      {folder_ + "fifo", false, EINVAL},
      {"/dev/zero", false, EINVAL},
      {"/dev/null", false, EINVAL},
      {folder_ + "missing", false, ENOENT},
  };
  for (const auto& c : cases) {
    // Bounded: a FIFO without a writer must not hold the open.
    auto opening = std::async(std::launch::async, [&] {
      platform::FileHandle file;
      const bool opened = file.openRegularForReading(c.path);
      return std::make_pair(opened, file.error());
    });
    ASSERT_EQ(opening.wait_for(std::chrono::seconds(5)), std::future_status::ready) << c.path;
    const auto [opened, error] = opening.get();
    EXPECT_EQ(opened, c.opens) << c.path;
    EXPECT_EQ(error, c.error) << c.path;
  }
  platform::FileHandle file;
  ASSERT_TRUE(file.openRegularForReading(folder_ + "plain"));
  char buffer[16];
  EXPECT_EQ(file.read(buffer, sizeof buffer), 4);
  EXPECT_EQ(file.read(buffer, sizeof buffer), 0);
}

TEST_F(FileHandleTest, CreatesOnlyNewPrivateFiles) {
  std::ofstream(folder_ + "existing") << "mine";
  ASSERT_EQ(::symlink((folder_ + "target").c_str(), (folder_ + "planted").c_str()), 0);
  const struct {
    std::string path;
    bool creates;
    int error;
  } cases[] = {
      {folder_ + "new", true, 0},
      {folder_ + "existing", false, EEXIST},
      {folder_ + "planted", false, EEXIST},  // the link's target is never made
      {folder_ + "missing/new", false, ENOENT},
  };
  const mode_t oldMask = ::umask(0);
  for (const auto& c : cases) {
    platform::FileHandle file;
    EXPECT_EQ(file.createNew(c.path), c.creates) << c.path;
    EXPECT_EQ(file.error(), c.error) << c.path;
    if (!c.creates) continue;
    EXPECT_TRUE(file.writeAll("abc", 3));
    EXPECT_TRUE(file.close());
    struct stat status {};
    ASSERT_EQ(::stat(c.path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(status.st_size, 3);
  }
  ::umask(oldMask);
  std::ifstream existing(folder_ + "existing");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(existing), {}), "mine");
  EXPECT_NE(::access((folder_ + "target").c_str(), F_OK), 0);
}

// The descriptors open now.
std::set<int> openDescriptors() {
  std::set<int> open;
  for (int fd = 0; fd < 1024; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0) open.insert(fd);
  }
  return open;
}

// The flags of the one descriptor that `opening` added.
int flagsOfNewDescriptor(const std::function<void()>& opening) {
  const std::set<int> before = openDescriptors();
  opening();
  for (const int fd : openDescriptors()) {
    if (before.count(fd) == 0) return ::fcntl(fd, F_GETFD);
  }
  return -1;
}

TEST_F(FileHandleTest, DescriptorsAreCloseOnExec) {
  std::ofstream(folder_ + "plain") << "text";
  platform::FileHandle reading;
  platform::FileHandle writing;
  EXPECT_EQ(flagsOfNewDescriptor([&] { reading.openRegularForReading(folder_ + "plain"); }),
            FD_CLOEXEC);
  EXPECT_EQ(flagsOfNewDescriptor([&] { writing.createNew(folder_ + "new"); }), FD_CLOEXEC);
}

TEST(ErrorText, NamesTheReason) {
  EXPECT_EQ(platform::errorText(ENOSPC), "No space left on device");
  EXPECT_EQ(platform::errorText(ENOENT), "No such file or directory");
}

}  // namespace
