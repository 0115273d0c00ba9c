#include "files/folder_scan.h"

#include <vector>

#include "files/file_name.h"
#include "platform/directory_listing.h"

void AddFolder(const std::string& folder, TargetSink& sink) {
  std::vector<platform::DirectoryEntry> entries;
  if (!platform::listDirectory(folder, &entries)) return;
  for (const platform::DirectoryEntry& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    if (entry.isFolder) {
      AddFolder(folder + entry.name + "/", sink);
      continue;
    }
    const std::string extension = FileName(entry.name).extension(true);
    if (extension == "htm" || extension == "html" || extension == "shtml" || extension == "url") {
      sink.AddFile(folder + entry.name);
    }
  }
}
