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
  if (!file_.createNew(path)) return false;
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return true;
}

bool OutputFileBuffer::close() {
  if (!file_.isOpen()) return !failed_;
  flushBuffer();
  if (!file_.close()) failed_ = true;
  setp(nullptr, nullptr);
  return !failed_;
}

bool OutputFileBuffer::flushBuffer() {
  const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  if (!failed_ && size > 0 && !file_.writeAll(pbase(), size)) failed_ = true;
  // Whatever happened, the put area starts empty again, so no write can
  // ever go past its end.
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return !failed_;
}

OutputFileBuffer::int_type OutputFileBuffer::overflow(int_type c) {
  if (!file_.isOpen() || !flushBuffer()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int OutputFileBuffer::sync() {
  if (!file_.isOpen()) return -1;
  return flushBuffer() ? 0 : -1;
}
