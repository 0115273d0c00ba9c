#include "platform/directory_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

namespace platform {
namespace {

unsigned char foldedByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool nameLess(const DirectoryEntry& a, const DirectoryEntry& b) {
  const bool folded =
      std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                   [](char x, char y) { return foldedByte(x) < foldedByte(y); });
  if (folded) return true;
  const bool foldedReverse =
      std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(),
                                   [](char x, char y) { return foldedByte(x) < foldedByte(y); });
  if (foldedReverse) return false;
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
