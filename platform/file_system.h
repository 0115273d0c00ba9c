// File-system queries the rest of the program needs.
#ifndef TESSAVO_PLATFORM_FILE_SYSTEM_H_
#define TESSAVO_PLATFORM_FILE_SYSTEM_H_

#include <string>

namespace platform {

// True if `path` names an existing folder (links are followed, as a user
// who drops a link to a folder expects the folder). Every failure (missing
// path, no access, empty path) is false.
bool isExistingDirectory(const std::string& path);

// True when the file system holding `folder` has no block left for this
// user: whatever was written there last may have been cut short. False
// when it cannot be asked.
bool isFileSystemFull(const std::string& folder);

// `path` with a folder separator at its end, unless it has one: "/" on
// POSIX; "\" or "/" on Windows, where a trail byte 0x5C of a double-byte
// character ("表") is no separator. Empty stays empty.
std::string withFolderSeparator(const std::string& path);

// `path` made absolute against the current folder, without resolving links
// or dots; unchanged when it is absolute, empty, or the current folder
// cannot be had.
std::string absolutePath(const std::string& path);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_FILE_SYSTEM_H_
