#include "platform/temp_files.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/win32/path_text.h"
#include "platform/win32/system_error.h"

namespace platform {

// The user's own temporary folder (%TMP%, %TEMP%, else the profile's), which
// Windows keeps private to the user.
std::string tempFolder(TempFolderFailure* failure) {
  char buffer[MAX_PATH + 2];
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) {
    if (failure != nullptr) {
      failure->folder = "%TEMP%";
      failure->error = length == 0 ? lastErrno() : ENAMETOOLONG;
    }
    return std::string();
  }
  return withSeparator(std::string(buffer, length));
}

// As GetTempFileNameA names its files ("tvx1A2B.tmp"), but with the whole
// prefix and more than one try per tick.
std::string createUniqueFile(const std::string& folder, const std::string& prefix) {
  if (folder.empty()) return std::string();
  static std::atomic<unsigned> counter{0};
  const unsigned start = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (unsigned attempt = 0; attempt < 0x10000; ++attempt) {
    char unique[16];
    std::snprintf(unique, sizeof unique, "%04X", (start + counter++) & 0xFFFF);
    const std::string path = folder + prefix + unique + ".tmp";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return path;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return std::string();
}

}  // namespace platform
