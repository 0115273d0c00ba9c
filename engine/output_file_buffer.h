// A stream buffer that writes one file, for the converter's output.
//
// It stands in for std::filebuf, whose overflow() in libstdc++ leaves its
// put pointer past the end of its buffer when a write fails (a full disk),
// so that the next character written lands outside the buffer. Here a failed
// write empties the buffer, makes every later write fail at once, and shows
// in failed(). One thread at a time.
#ifndef TESSAVO_ENGINE_OUTPUT_FILE_BUFFER_H_
#define TESSAVO_ENGINE_OUTPUT_FILE_BUFFER_H_

#include <cstdio>
#include <streambuf>
#include <string>
#include <vector>

class OutputFileBuffer : public std::streambuf {
 public:
  OutputFileBuffer();
  ~OutputFileBuffer() override;
  OutputFileBuffer(const OutputFileBuffer&) = delete;
  OutputFileBuffer& operator=(const OutputFileBuffer&) = delete;

  // Creates or empties the file. False when it cannot be opened for writing.
  bool open(const std::string& path);
  bool isOpen() const { return file_ != nullptr; }

  // Writes what is buffered and closes the file; false when any write, or
  // the close, failed.
  bool close();

  bool failed() const { return failed_; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  bool flushBuffer();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  bool failed_ = false;
};

#endif  // TESSAVO_ENGINE_OUTPUT_FILE_BUFFER_H_
