#include "platform/file_system.h"

#include <windows.h>

#include <vector>

#include "platform/win32/path_text.h"

namespace platform {

bool isExistingDirectory(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isFileSystemFull(const std::string& folder) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return false;
  return available.QuadPart == 0;
}

std::string withFolderSeparator(const std::string& path) {
  return path.empty() || endsWithSeparator(path) ? path : path + '/';
}

std::string absolutePath(const std::string& path) {
  // "C:\..." and "\\server\..." are absolute, and so is "\..." on the
  // current drive.
  const bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (path.empty() || hasDrive || isSeparator(path.front())) return path;
  const DWORD size = GetCurrentDirectoryA(0, nullptr);
  if (size == 0) return path;
  std::vector<char> buffer(size + 1);
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return path;
  return withSeparator(std::string(buffer.data(), length)) + path;
}

}  // namespace platform
