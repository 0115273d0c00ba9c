#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace test_support {

TempFolder::TempFolder(const std::string& prefix) {
  std::string base = ::testing::TempDir();
  if (!base.empty() && base.back() != '/' && base.back() != '\\') base += '/';
  // As mkdtemp does, on every system: a random name, made only if new.
  std::random_device seed;
  std::mt19937 random(seed());
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = base + prefix + "-";
    for (int i = 0; i < 6; ++i) candidate += kLetters[random() % (sizeof kLetters - 1)];
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
      path_ = candidate + "/";
      return;
    }
  }
  ADD_FAILURE() << "cannot make a temporary folder in " << base;
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
