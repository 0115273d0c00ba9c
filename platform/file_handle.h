// One open file of a check run, closed when the handle goes.
//
// The two ways of opening are the ones a run needs and nothing looser:
// reading a document that must be a regular file (a folder, FIFO or device
// is refused at once, never waited on), and creating a file that must be new
// (never an existing file, never through a link, readable by the user alone).
// Every descriptor is close-on-exec. A failure leaves the handle closed and
// keeps the errno value, which errorText() turns into words. One thread at a
// time per handle. The free functions below read other files the programs
// are given (working sets, shortcuts, settings) by the same rule, as a C
// stream or as a whole file up to a bound.
#ifndef TESSAVO_PLATFORM_FILE_HANDLE_H_
#define TESSAVO_PLATFORM_FILE_HANDLE_H_

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {

class FileHandle {
 public:
  FileHandle() = default;
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Opens `path` (links followed) for reading when it is a regular file. A
  // path that is something else fails with EISDIR for a folder and EINVAL
  // otherwise; opening never blocks, whatever the path names.
  bool openRegularForReading(const std::string& path);

  // Creates `path` for writing: O_EXCL and O_NOFOLLOW, mode 0600. Fails with
  // EEXIST when anything, a link included, is already there.
  bool createNew(const std::string& path);

  bool isOpen() const { return fd_ >= 0; }

  // Up to `size` bytes; 0 at the end of the file, -1 on failure.
  long read(char* buffer, std::size_t size);

  // Goes back to the first byte, for a second reading; false on failure.
  bool rewind();

  // All `size` bytes, or false.
  bool writeAll(const char* data, std::size_t size);

  // Closes the file; false when closing reported an error (a write that
  // failed late). Closing a closed handle is true.
  bool close();

  // The errno value of the last failure, 0 before any.
  int error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// The system's words for an errno value ("No space left on device").
std::string errorText(int error);

// A C stream that reads the regular file at `path`, opened as
// openRegularForReading() opens it; the caller closes it with fclose().
// Null, with the errno value in `*error`, when it cannot be opened.
std::FILE* openRegularStream(const std::string& path, int* error);

// The words for a failure of openRegularForReading(): errorText(), but "not
// a regular file" for a FIFO, device or socket.
std::string openFailureText(int error);

// Reads the regular file at `path` as openRegularForReading() opens it
// (never waiting, nothing but a regular file), up to its first `limit`
// bytes: a larger file is read only that far. False, with the errno value
// in `*error`, when it cannot be opened or read.
bool readRegularFile(const std::string& path, std::size_t limit, std::string* contents, int* error);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_FILE_HANDLE_H_
