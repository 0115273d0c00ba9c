#include "engine/input_file_buffer.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

InputFileBuffer::InputFileBuffer() : buffer_(kBufferSize) {}

bool InputFileBuffer::open(const std::string& path) {
  failed_ = false;
  setg(nullptr, nullptr, nullptr);
  return file_.openRegularForReading(path);
}

bool InputFileBuffer::rewind() {
  setg(nullptr, nullptr, nullptr);
  if (failed_ || !file_.rewind()) {
    failed_ = true;
    return false;
  }
  return true;
}

InputFileBuffer::int_type InputFileBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!file_.isOpen() || failed_) return traits_type::eof();
  const long got = file_.read(buffer_.data(), buffer_.size());
  if (got <= 0) {
    if (got < 0) failed_ = true;
    return traits_type::eof();
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
  return traits_type::to_int_type(*gptr());
}
