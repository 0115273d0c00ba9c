#include "platform/file_system.h"

#include <sys/stat.h>

namespace platform {

bool isExistingDirectory(const std::string& path) {
  struct stat status {};
  return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace platform
