#include "platform/file_handle.h"

#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

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

namespace {

// A descriptor reading the regular file at `path`, or -1 with the errno
// value in `*error`.
int openRegular(const std::string& path, int* error) {
  // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for
  // one; the type is known only once the file is open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *error = errno;
    return -1;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    *error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return -1;
  }
  // A regular file reads the same either way; the flag only went with the
  // open.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

bool FileHandle::openRegularForReading(const std::string& path) {
  close();
  fd_ = openRegular(path, &error_);
  return fd_ >= 0;
}

bool FileHandle::createNew(const std::string& path) {
  close();
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  fd_ = fd;
  return true;
}

long FileHandle::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, size);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) {
      error_ = errno;
      return -1;
    }
  }
}

bool FileHandle::rewind() {
  if (::lseek(fd_, 0, SEEK_SET) == 0) return true;
  error_ = errno;
  return false;
}

bool FileHandle::writeAll(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool FileHandle::close() {
  if (fd_ < 0) return true;
  const int fd = std::exchange(fd_, -1);
  // Linux closes the descriptor even when close reports an error, so it is
  // never retried.
  if (::close(fd) != 0 && errno != EINTR) {
    error_ = errno;
    return false;
  }
  return true;
}

std::string errorText(int error) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not be `buffer`.
  return ::strerror_r(error, buffer, sizeof buffer);
}

std::FILE* openRegularStream(const std::string& path, int* error) {
  const int fd = openRegular(path, error);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd, "r");
  if (stream == nullptr) {
    *error = errno;
    ::close(fd);
  }
  return stream;
}

}  // namespace platform
