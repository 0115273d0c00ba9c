// Splits arbitrary bytes as a path under both code pages and checks the
// invariants every caller relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/file_name.h"
#include "platform/code_page.h"

namespace {

// True if `text` holds a "\" that is not the second byte of a character.
bool hasBackslashAtCharacterStart(const std::string& text) {
  for (const char* p = text.c_str(); *p != '\0'; p = platform::CharNextA(p)) {
    if (*p == '\\') return true;
  }
  return false;
}

void check(const std::string& path) {
  FileName file(path);
  const std::string directory = file.directory();
  const std::string name = file.name();
  if (!directory.empty() && directory.back() != '/') std::abort();
  if (hasBackslashAtCharacterStart(directory)) std::abort();
  if (name == "." || name == "..") std::abort();
  for (const char* p = name.c_str(); *p != '\0'; p = platform::CharNextA(p)) {
    if (*p == '/' || *p == '\\') std::abort();
  }
  const std::string extension = file.extension(false);
  if (extension.size() > name.size()) std::abort();
  if (file.extension(true).size() != extension.size()) std::abort();
  // Nothing is lost: host, directory and name together are never longer
  // than the path plus what the dot rule and the UNC prefix account for.
  if (file.host().size() + directory.size() + name.size() > path.size() + 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  platform::setCodePage(platform::CodePage::Utf8);
  check(path.c_str());
  platform::setCodePage(platform::CodePage::Cp932);
  check(path.c_str());
  return 0;
}
