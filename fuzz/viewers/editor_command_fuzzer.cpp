// The editor template comes from the user's settings: any bytes must give a
// command line that holds the path whole.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/code_page.h"
#include "viewers/editor_launcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string editorCommand(reinterpret_cast<const char*>(data), size);
  const std::string path = "/w/\x95\x5C%f%l.html";
  for (const auto codePage : {platform::CodePage::Utf8, platform::CodePage::Cp932}) {
    platform::setCodePage(codePage);
    const std::string commandLine = editorCommandLine(editorCommand, path, 12);
    if (commandLine.find(path) == std::string::npos) __builtin_trap();
  }
  platform::setCodePage(platform::CodePage::Utf8);
  return 0;
}
