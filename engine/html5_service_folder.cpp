#include "engine/html5_service_folder.h"

#include <cstring>
#include <string>

#include "engine/temp_paths.h"
#include "platform/file_handle.h"

namespace {

// A relative name: the service resolves it against its working folder, so
// no path needs the escaping of a properties file.
const char kProperties[] = "nu.validator.spec.html5-load=specification-stub.html\n";
const char kStub[] = "<!DOCTYPE html><title>No specification</title>\n";

bool writeNewFile(const std::string& path, const char* text) {
  platform::FileHandle file;
  if (!file.createNew(path)) return false;
  const bool written = file.writeAll(text, std::strlen(text));
  return file.close() && written;
}

}  // namespace

bool prepareHtml5ServiceFolder(platform::RunFolder* folder) {
  const std::string parent = tempDirectory();
  if (parent.empty() || !folder->create(parent)) return false;
  return writeNewFile(folder->path() + "vnu.properties", kProperties) &&
         writeNewFile(folder->path() + "specification-stub.html", kStub);
}
