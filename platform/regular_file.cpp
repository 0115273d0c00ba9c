#include "platform/file_handle.h"

#include <algorithm>
#include <cerrno>

// The parts of the file service built on FileHandle alone, the same on
// every system.
namespace platform {

std::string openFailureText(int error) {
  return error == EINVAL ? "not a regular file" : errorText(error);
}

bool readRegularFile(const std::string& path, std::size_t limit, std::string* contents,
                     int* error) {
  contents->clear();
  FileHandle file;
  if (!file.openRegularForReading(path)) {
    *error = file.error();
    return false;
  }
  char block[16 * 1024];
  while (contents->size() < limit) {
    const long got = file.read(block, std::min(sizeof block, limit - contents->size()));
    if (got < 0) {
      *error = file.error();
      contents->clear();
      return false;
    }
    if (got == 0) break;
    contents->append(block, static_cast<std::size_t>(got));
  }
  return true;
}

}  // namespace platform
