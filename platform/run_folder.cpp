#include "platform/run_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

const char kPrefix[] = "tessavo-run-";

// Removes the entry `name` of the folder `parentFd`, and everything in it
// when it is a real folder.
void removeTreeAt(int parentFd, const char* name) {
  if (::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT) return;
  const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  DIR* folder = ::fdopendir(fd);
  if (folder == nullptr) {
    ::close(fd);
    return;
  }
  // Names first, removal after: the listing is not disturbed while it runs.
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string entryName = entry->d_name;
    if (entryName != "." && entryName != "..") names.push_back(entryName);
  }
  for (const std::string& entryName : names) removeTreeAt(::dirfd(folder), entryName.c_str());
  ::closedir(folder);
  ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The process id in a run folder's name, or 0 when the name is not one.
pid_t ownerOf(const std::string& name) {
  if (name.rfind(kPrefix, 0) != 0) return 0;
  const std::size_t start = sizeof kPrefix - 1;
  std::size_t end = start;
  while (end < name.size() && name[end] >= '0' && name[end] <= '9') ++end;
  if (end == start || end - start > 9 || end >= name.size() || name[end] != '-') return 0;
  return static_cast<pid_t>(std::atol(name.substr(start, end - start).c_str()));
}

bool isAlive(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

RunFolder::~RunFolder() {
  remove();
}

bool RunFolder::create(const std::string& parent) {
  remove();
  if (parent.empty()) {
    error_ = ENOENT;
    return false;
  }
  std::string pattern = parent + kPrefix + std::to_string(::getpid()) + "-XXXXXX";
  if (::mkdtemp(&pattern[0]) == nullptr) {
    error_ = errno;
    return false;
  }
  // The lock tells a sweeping run in another process that this folder is in
  // use; it goes with the descriptor, also when this process is killed.
  lockFd_ = ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (lockFd_ >= 0) ::flock(lockFd_, LOCK_EX | LOCK_NB);
  path_ = pattern + "/";
  return true;
}

bool RunFolder::link(const std::string& name, const std::string& target) {
  if (path_.empty()) {
    error_ = ENOENT;  // never a link in the current folder
    return false;
  }
  const std::string linkPath = path_ + name;
  ::unlink(linkPath.c_str());
  if (::symlink(target.c_str(), linkPath.c_str()) == 0) return true;
  error_ = errno;
  return false;
}

void RunFolder::remove() {
  if (!path_.empty()) removeTree(path_);
  path_.clear();
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

void RunFolder::sweepLeftovers(const std::string& parent) {
  const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd < 0) return;
  std::vector<std::string> leftovers;
  if (DIR* folder = ::fdopendir(::fcntl(parentFd, F_DUPFD_CLOEXEC, 0))) {
    while (const dirent* entry = ::readdir(folder)) {
      const pid_t owner = ownerOf(entry->d_name);
      if (owner > 0 && !isAlive(owner)) leftovers.push_back(entry->d_name);
    }
    ::closedir(folder);
  }
  for (const std::string& name : leftovers) {
    const int fd =
        ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat status {};
    // Held by a live run in a process this one cannot see, or not ours.
    if (::fstat(fd, &status) != 0 || status.st_uid != ::geteuid() ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      continue;
    }
    removeTreeAt(parentFd, name.c_str());
    ::close(fd);
  }
  ::close(parentFd);
}

void removeTree(const std::string& path) {
  if (path.empty()) return;
  removeTreeAt(AT_FDCWD, withoutTrailingSlashes(path).c_str());
}

}  // namespace platform
