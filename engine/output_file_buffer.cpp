#include "engine/output_file_buffer.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

OutputFileBuffer::OutputFileBuffer() : buffer_(kBufferSize) {}

OutputFileBuffer::~OutputFileBuffer() {
  close();
}

bool OutputFileBuffer::open(const std::string& path) {
  close();
  failed_ = false;
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return true;
}

bool OutputFileBuffer::close() {
  if (file_ == nullptr) return !failed_;
  flushBuffer();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  setp(nullptr, nullptr);
  return !failed_;
}

bool OutputFileBuffer::flushBuffer() {
  const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  if (!failed_ && size > 0 && std::fwrite(pbase(), 1, size, file_) != size) failed_ = true;
  // Whatever happened, the put area starts empty again, so no write can
  // ever go past its end.
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return !failed_;
}

OutputFileBuffer::int_type OutputFileBuffer::overflow(int_type c) {
  if (file_ == nullptr || !flushBuffer()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int OutputFileBuffer::sync() {
  if (file_ == nullptr) return -1;
  return flushBuffer() && std::fflush(file_) == 0 ? 0 : -1;
}
