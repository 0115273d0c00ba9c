// A folder of each test's own for the files a download writes, removed with
// everything in it after the test (tests/support/temp_folder.h), and the
// file the tests download into. For fixtures of the net tests; one thread.
#ifndef TESSAVO_TESTS_NET_DOWNLOAD_FOLDER_H_
#define TESSAVO_TESTS_NET_DOWNLOAD_FOLDER_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

class DownloadFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_ = std::make_unique<test_support::TempFolder>(
        std::string("tessavo-net-") +
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    folder_ = temp_->path();
  }
  void TearDown() override { temp_.reset(); }

  std::string output() const { return (folder_ / "body.out").string(); }
  std::string body() const { return test_support::readFile(output()); }
  // 0 when the file does not exist.
  std::uintmax_t bodySize() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(output(), error);
    return error ? 0 : size;
  }

  std::unique_ptr<test_support::TempFolder> temp_;
  std::filesystem::path folder_;
};

#endif  // TESSAVO_TESTS_NET_DOWNLOAD_FOLDER_H_
