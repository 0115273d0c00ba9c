// Reads arbitrary bytes as a profile file, as an Internet shortcut and as
// the program's settings, and checks what callers rely on: a value is never
// more than one line of the file, and never longer than the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/profile_reader.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  using platform::ProfileDialect;
  const std::optional<std::string> url = platform::profileValue(text, "InternetShortcut", "URL");
  if (url) {
    require(url->find('\n') == std::string::npos);
    require(url->size() <= text.size());
  }
  const std::optional<std::string> setting =
      platform::profileValue(text, "Settings", "SP Location", ProfileDialect::WxFileConfig);
  require(!setting || setting->size() <= text.size());
  return 0;
}
