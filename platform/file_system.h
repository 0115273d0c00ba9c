// File-system queries the rest of the program needs, over POSIX.
#ifndef TESSAVO_PLATFORM_FILE_SYSTEM_H_
#define TESSAVO_PLATFORM_FILE_SYSTEM_H_

#include <string>

namespace platform {

// True if `path` names an existing folder (links are followed, as a user
// who drops a link to a folder expects the folder). Every failure (missing
// path, no access, empty path) is false.
bool isExistingDirectory(const std::string& path);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_FILE_SYSTEM_H_
