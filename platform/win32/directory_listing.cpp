#include "platform/directory_listing.h"

#include <windows.h>

#include <algorithm>

#include "platform/ascii_case.h"
#include "platform/win32/path_text.h"

namespace platform {
namespace {

bool nameLess(const DirectoryEntry& a, const DirectoryEntry& b) {
  if (lessIgnoringAsciiCase(a.name, b.name)) return true;
  if (lessIgnoringAsciiCase(b.name, a.name)) return false;
  return a.name < b.name;
}

}  // namespace

bool listDirectory(const std::string& folder, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  const std::string pattern = withSeparator(folder.empty() ? std::string(".") : folder) + "*";
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    // A junction or a link to a folder is not a folder: a scan never
    // follows one into a loop.
    const DWORD attributes = found.dwFileAttributes;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                          (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    entries->push_back(DirectoryEntry{found.cFileName, isFolder});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(entries->begin(), entries->end(), nameLess);
  return true;
}

}  // namespace platform
