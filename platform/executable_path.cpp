#include "platform/executable_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {
namespace {

// The installed layout's data folder for the program at `executable`, or
// empty when there is none: PREFIX/bin/tessavo -> PREFIX/share/tessavo/.
std::string installedDataFolder(const std::string& executable) {
  const std::string::size_type slash = executable.rfind('/');
  if (slash == std::string::npos || slash == 0) return std::string();
  const std::string::size_type parentSlash = executable.rfind('/', slash - 1);
  if (parentSlash == std::string::npos) return std::string();
  const std::string folder = executable.substr(0, parentSlash + 1) + "share/tessavo/";
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::string();
  return folder;
}

}  // namespace

std::string executablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::string();
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string dataFolderFor(const std::string& executable) {
  const std::string installed = installedDataFolder(executable);
  if (!installed.empty()) return installed;
  return executable.substr(0, executable.rfind('/') + 1);
}

std::string programDataFolder() {
  return dataFolderFor(executablePath());
}

bool isInstalledProgram() {
  return !installedDataFolder(executablePath()).empty();
}

}  // namespace platform
