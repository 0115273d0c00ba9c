#include "platform/executable_path.h"

#include <windows.h>

#include <vector>

#include "platform/file_system.h"
#include "platform/win32/path_text.h"

namespace platform {
namespace {

// The installed layout's data folder for the program at `executable`, or
// empty when there is none: PREFIX\bin\tessavo-check.exe ->
// PREFIX\share\tessavo\. A program copied into one folder with its
// catalog has none, and finds its data beside itself.
std::string installedDataFolder(const std::string& executable) {
  const std::string::size_type separator = lastSeparator(executable);
  if (separator == std::string::npos || separator == 0) return std::string();
  const std::string::size_type parentSeparator = lastSeparator(executable.substr(0, separator));
  if (parentSeparator == std::string::npos) return std::string();
  const std::string folder = executable.substr(0, parentSeparator + 1) + "share\\tessavo\\";
  return isExistingDirectory(folder) ? folder : std::string();
}

}  // namespace

std::string executablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string dataFolderFor(const std::string& executable) {
  const std::string installed = installedDataFolder(executable);
  if (!installed.empty()) return installed;
  const std::string::size_type separator = lastSeparator(executable);
  return separator == std::string::npos ? std::string() : executable.substr(0, separator + 1);
}

std::string programDataFolder() {
  return dataFolderFor(executablePath());
}

bool isInstalledProgram() {
  return !installedDataFolder(executablePath()).empty();
}

}  // namespace platform
