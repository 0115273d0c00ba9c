#include "platform/file_handle.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/win32/system_error.h"

namespace platform {
namespace {

// The descriptor field holds the handle: Win32 handles fit in 32 bits
// (HandleToLong), and a valid one is never negative.
HANDLE handleOf(int fd) {
  return LongToHandle(fd);
}

// Opens `path` for reading when it is a regular file, as
// openRegularForReading() promises; INVALID_HANDLE_VALUE with the errno
// value in `*error` otherwise.
HANDLE openRegular(const std::string& path, int* error) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *error = EISDIR;
    return INVALID_HANDLE_VALUE;
  }
  // Shared for every access, so that a document open in an editor is read
  // all the same; not inheritable, like every handle of the program.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = lastErrno();
    return INVALID_HANDLE_VALUE;
  }
  // A device ("CON", "NUL") or a pipe is no document, and a read from it
  // could wait for ever.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    *error = EINVAL;
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

}  // namespace

FileHandle::~FileHandle() {
  close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    error_ = other.error_;
  }
  return *this;
}

bool FileHandle::openRegularForReading(const std::string& path) {
  close();
  const HANDLE file = openRegular(path, &error_);
  if (file == INVALID_HANDLE_VALUE) return false;
  fd_ = HandleToLong(file);
  return true;
}

bool FileHandle::createNew(const std::string& path) {
  close();
  // CREATE_NEW fails on anything already there, a link included; the file
  // takes the access rules of its private folder.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error_ = lastErrno();
    return false;
  }
  fd_ = HandleToLong(file);
  return true;
}

long FileHandle::read(char* buffer, std::size_t size) {
  DWORD got = 0;
  const DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  if (!ReadFile(handleOf(fd_), buffer, wanted, &got, nullptr)) {
    error_ = lastErrno();
    return -1;
  }
  return static_cast<long>(got);
}

bool FileHandle::rewind() {
  LARGE_INTEGER start{};
  if (SetFilePointerEx(handleOf(fd_), start, nullptr, FILE_BEGIN)) return true;
  error_ = lastErrno();
  return false;
}

bool FileHandle::writeAll(const char* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    if (!WriteFile(handleOf(fd_), data, chunk, &written, nullptr)) {
      error_ = lastErrno();
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

bool FileHandle::close() {
  if (fd_ < 0) return true;
  const HANDLE file = handleOf(std::exchange(fd_, -1));
  if (!CloseHandle(file)) {
    error_ = lastErrno();
    return false;
  }
  return true;
}

std::string errorText(int error) {
  return std::strerror(error);
}

std::FILE* openRegularStream(const std::string& path, int* error) {
  const HANDLE file = openRegular(path, error);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  // The stream takes the handle over: closing it closes the file.
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
  if (descriptor < 0) {
    *error = EMFILE;
    CloseHandle(file);
    return nullptr;
  }
  std::FILE* stream = _fdopen(descriptor, "rb");
  if (stream == nullptr) {
    *error = errno;
    _close(descriptor);
  }
  return stream;
}

}  // namespace platform
