#include "platform/file_system.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {

bool isExistingDirectory(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isFileSystemFull(const std::string& folder) {
  struct statvfs space {};
  if (::statvfs(folder.c_str(), &space) != 0) return false;
  // The superuser may also fill the blocks kept back for it.
  return (::geteuid() == 0 ? space.f_bfree : space.f_bavail) == 0;
}

std::string withFolderSeparator(const std::string& path) {
  return path.empty() || path.back() == '/' ? path : path + '/';
}

std::string absolutePath(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() >= (1u << 20)) return path;
    buffer.resize(buffer.size() * 2);
  }
  std::string absolute = buffer.data();
  if (absolute.back() != '/') absolute += '/';
  return absolute + path;
}

}  // namespace platform
