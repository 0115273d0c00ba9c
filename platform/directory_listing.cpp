#include "platform/directory_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/ascii_case.h"

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
  DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
  if (directory == nullptr) return false;
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/') prefix.push_back('/');
  while (const dirent* entry = ::readdir(directory)) {
    DirectoryEntry listed{entry->d_name, false};
    struct stat status {};
    if (::lstat((prefix + listed.name).c_str(), &status) == 0) {
      listed.isFolder = S_ISDIR(status.st_mode);
    }
    entries->push_back(std::move(listed));
  }
  ::closedir(directory);
  std::sort(entries->begin(), entries->end(), nameLess);
  return true;
}

}  // namespace platform
