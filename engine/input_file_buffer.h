// A stream buffer that reads one document, for the converter's input.
//
// Only a regular file opens: a folder, FIFO or device is refused at once
// rather than read forever or waited on. The descriptor is close-on-exec. A
// read that fails ends the input and shows in failed(). One thread at a time.
#ifndef TESSAVO_ENGINE_INPUT_FILE_BUFFER_H_
#define TESSAVO_ENGINE_INPUT_FILE_BUFFER_H_

#include <streambuf>
#include <string>
#include <vector>

#include "platform/file_handle.h"

class InputFileBuffer : public std::streambuf {
 public:
  InputFileBuffer();
  InputFileBuffer(const InputFileBuffer&) = delete;
  InputFileBuffer& operator=(const InputFileBuffer&) = delete;

  // False when `path` cannot be opened or is not a regular file.
  bool open(const std::string& path);

  // Starts the input again at the first byte: the document is read once to
  // analyse it and once more to copy it. False when the file cannot seek.
  bool rewind();

  bool failed() const { return failed_; }
  // The errno value of the failure.
  int error() const { return file_.error(); }

 protected:
  int_type underflow() override;

 private:
  platform::FileHandle file_;
  std::vector<char> buffer_;
  bool failed_ = false;
};

#endif  // TESSAVO_ENGINE_INPUT_FILE_BUFFER_H_
