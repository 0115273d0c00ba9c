// A stream buffer that writes one new file, for the converter's output.
//
// The file is created new (never an existing file or a link, mode 0600,
// close-on-exec). It stands in for std::filebuf, which opens files loosely
// and whose overflow() in libstdc++ leaves its put pointer past the end of
// its buffer when a write fails (a full disk), so that the next character
// written lands outside the buffer. Here a failed write empties the buffer,
// makes every later write fail at once, and shows in failed() and error().
// One thread at a time.
#ifndef TESSAVO_ENGINE_OUTPUT_FILE_BUFFER_H_
#define TESSAVO_ENGINE_OUTPUT_FILE_BUFFER_H_

#include <streambuf>
#include <string>
#include <vector>

#include "platform/file_handle.h"

class OutputFileBuffer : public std::streambuf {
 public:
  OutputFileBuffer();
  ~OutputFileBuffer() override;
  OutputFileBuffer(const OutputFileBuffer&) = delete;
  OutputFileBuffer& operator=(const OutputFileBuffer&) = delete;

  // Creates the file; false when it cannot be created new.
  bool open(const std::string& path);
  bool isOpen() const { return file_.isOpen(); }

  // Writes what is buffered and closes the file; false when any write, or
  // the close, failed.
  bool close();

  bool failed() const { return failed_; }
  // The errno value of the failure.
  int error() const { return file_.error(); }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool flushBuffer();

  platform::FileHandle file_;
  std::vector<char> buffer_;
  bool failed_ = false;
};

#endif  // TESSAVO_ENGINE_OUTPUT_FILE_BUFFER_H_
