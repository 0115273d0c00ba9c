// A folder of each test's own for the files a download writes, removed with
// everything in it after the test, and the file the tests download into.
// For fixtures of the net tests; one thread.
#ifndef TESSAVO_TESTS_NET_DOWNLOAD_FOLDER_H_
#define TESSAVO_TESTS_NET_DOWNLOAD_FOLDER_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

// The whole content of a file; empty when it cannot be read.
inline std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::filesystem::path& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

class DownloadFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("tessavo-net-" + std::to_string(random()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string output() const { return (folder_ / "body.out").string(); }
  std::string body() const { return readWholeFile(output()); }
  // 0 when the file does not exist.
  std::uintmax_t bodySize() const {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(output(), error);
    return error ? 0 : size;
  }

  std::filesystem::path folder_;
};

#endif  // TESSAVO_TESTS_NET_DOWNLOAD_FOLDER_H_
