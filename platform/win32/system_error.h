// The errno value that stands for a Win32 error code, for the services
// whose contract reports errno values (files, folders, processes), so that
// the callers' tests ("EEXIST", "EISDIR") and texts hold on both systems.
// Internal to platform/win32/.
#ifndef TESSAVO_PLATFORM_WIN32_SYSTEM_ERROR_H_
#define TESSAVO_PLATFORM_WIN32_SYSTEM_ERROR_H_

#include <windows.h>

#include <cerrno>

namespace platform {

inline int errnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
      return ENOEXEC;
    default:
      return EIO;
  }
}

inline int lastErrno() {
  return errnoFromWin32(GetLastError());
}

}  // namespace platform

#endif  // TESSAVO_PLATFORM_WIN32_SYSTEM_ERROR_H_
