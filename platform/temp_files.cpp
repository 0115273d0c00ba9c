#include "platform/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace platform {
namespace {

std::string withSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

// True if `folder` is a real folder (not a link) owned by this user.
bool isOwnFolder(const std::string& folder) {
  struct stat status {};
  return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == ::getuid();
}

std::string absoluteEnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string baseFolder() {
  const std::string tmpdir = absoluteEnvironmentFolder("TMPDIR");
  return tmpdir.empty() ? std::string("/tmp") : tmpdir;
}

// A folder "tessavo-<uid>-XXXXXX" of this user in `base`, when the usual
// one is refused: the first there is, or a new one. Once per process.
std::string fallbackFolder(const std::string& base, TempFolderFailure* failure) {
  static std::once_flag once;
  static std::string folder;
  static TempFolderFailure failed;
  std::call_once(once, [&base] {
    const std::string prefix = "tessavo-" + std::to_string(::getuid()) + "-";
    std::vector<std::string> names;
    if (DIR* listing = ::opendir(base.c_str())) {
      while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
            isOwnFolder(base + name)) {
          names.push_back(name);
        }
      }
      ::closedir(listing);
    }
    if (!names.empty()) {
      folder = base + *std::min_element(names.begin(), names.end());
      // Made with mode 0700; one opened since is closed again.
      ::chmod(folder.c_str(), 0700);
      folder += "/";
      return;
    }
    std::string pattern = base + prefix + "XXXXXX";
    if (::mkdtemp(&pattern[0]) != nullptr) {
      folder = withSlash(pattern);
    } else {
      failed = TempFolderFailure{base, errno};
    }
  });
  if (folder.empty() && failure != nullptr) *failure = failed;
  return folder;
}

}  // namespace

std::string tempFolder(TempFolderFailure* failure) {
  const std::string runtime = absoluteEnvironmentFolder("XDG_RUNTIME_DIR");
  if (!runtime.empty() && isOwnFolder(runtime)) return withSlash(runtime);

  const std::string base = withSlash(baseFolder());
  const std::string folder = base + "tessavo-" + std::to_string(::getuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    // Nothing can be made in `base` then: say so for the folder wanted.
    if (failure != nullptr) *failure = TempFolderFailure{folder, errno};
    return std::string();
  }
  if (isOwnFolder(folder)) {
    struct stat status {};
    // A folder of ours that others may enter is closed again.
    if (::lstat(folder.c_str(), &status) == 0 && (status.st_mode & 077) != 0) {
      ::chmod(folder.c_str(), 0700);
    }
    return withSlash(folder);
  }
  return fallbackFolder(base, failure);
}

std::string createUniqueFile(const std::string& folder, const std::string& prefix) {
  if (folder.empty()) return std::string();
  std::string pattern = folder + prefix + "XXXXXX";
  const int fd = ::mkostemp(&pattern[0], O_CLOEXEC);
  if (fd < 0) return std::string();
  ::close(fd);
  return pattern;
}

}  // namespace platform
