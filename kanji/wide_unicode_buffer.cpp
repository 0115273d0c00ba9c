#include "kanji/wide_unicode_buffer.h"

namespace kanji {

WideUnicodeBuffer::WideUnicodeBuffer(std::streambuf* source, WideForm form)
    : source_(source), form_(form), decoder_(form) {}

void WideUnicodeBuffer::restart() {
  decoder_ = WideDecoder(form_);
  decoded_.clear();
  ended_ = false;
  setg(nullptr, nullptr, nullptr);
}

WideUnicodeBuffer::int_type WideUnicodeBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  decoded_.clear();
  if (block_.empty()) block_.resize(64 * 1024);
  // A block may end inside a code unit and so decode to nothing yet.
  while (decoded_.empty() && !ended_) {
    const std::streamsize got =
        source_ != nullptr
            ? source_->sgetn(block_.data(), static_cast<std::streamsize>(block_.size()))
            : 0;
    if (got > 0) {
      decoder_.feed(block_.data(), static_cast<std::size_t>(got), decoded_);
    } else {
      decoder_.finish(decoded_);
      ended_ = true;
    }
  }
  if (decoded_.empty()) return traits_type::eof();
  setg(decoded_.data(), decoded_.data(), decoded_.data() + decoded_.size());
  return traits_type::to_int_type(*gptr());
}

}  // namespace kanji
