#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace test_support {

TempFolder::TempFolder(const std::string& prefix) {
  std::string pattern = ::testing::TempDir();
  if (!pattern.empty() && pattern.back() != '/') pattern += '/';
  pattern += prefix + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder " << pattern;
    return;
  }
  path_ = std::string(buffer.data()) + "/";
}

TempFolder::~TempFolder() {
  if (!path_.empty()) removeTree(path_);
}

std::string TempFolder::makeFolder(const std::string& name) const {
  std::string folder = path_ + name;
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) ADD_FAILURE() << "cannot make the folder " << folder << ": " << error.message();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool removeTree(const std::string& path) {
  std::error_code error;
  fs::remove_all(path, error);
  if (!error) return true;
  // A test may have taken its own rights away from a folder (to test a
  // refusal); give them back below `path`, links left alone, and try again.
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow,
                  error);
  for (auto entry = fs::recursive_directory_iterator(path, error);
       !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
    if (entry->is_directory(error) && !entry->is_symlink(error)) {
      fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    error.clear();
  }
  fs::remove_all(path, error);
  if (!error) return true;
  ADD_FAILURE() << "cannot remove " << path << ": " << error.message();
  return false;
}

}  // namespace test_support
