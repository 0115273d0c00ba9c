// Lists the entries of one folder: the stand-in for a FindFirstFile search
// over "folder\*.*".
//
// Entries come sorted by name, letters compared without regard to ASCII case
// and then byte by byte, so a scan gives the same order on every run and on
// every file system (NTFS returns its names in that order; readdir in none).
// "." and ".." are listed, as the search lists them. The folder bit is read
// with lstat: a link, even to a folder, is not a folder, so a scan never
// follows a link into a loop.
#ifndef TESSAVO_PLATFORM_DIRECTORY_LISTING_H_
#define TESSAVO_PLATFORM_DIRECTORY_LISTING_H_

#include <string>
#include <vector>

namespace platform {

struct DirectoryEntry {
  std::string name;
  bool isFolder;
};

// The entries of `folder` (with or without a trailing "/"). False when the
// folder cannot be opened; `entries` is then empty.
bool listDirectory(const std::string& folder, std::vector<DirectoryEntry>* entries);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_DIRECTORY_LISTING_H_
