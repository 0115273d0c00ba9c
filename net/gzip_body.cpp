#include "net/gzip_body.h"

#include <zlib.h>

#include <string>

namespace {

constexpr std::size_t kDecodedBlock = 64 * 1024;

// zlib reads a gzip header (and no zlib one) with these window bits.
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

}  // namespace

struct GzipBody::Stream {
  z_stream z{};
  bool ready = false;
  std::unique_ptr<unsigned char[]> block{new unsigned char[kDecodedBlock]};
};

GzipBody::GzipBody(std::ostream& file, std::int64_t limit)
    : file_(file), limit_(limit), stream_(new Stream) {
  stream_->ready = inflateInit2(&stream_->z, kGzipWindowBits) == Z_OK;
  if (!stream_->ready) fail(HttpFailure::CannotWriteFile, "the gzip decoder cannot start");
}

GzipBody::~GzipBody() {
  if (stream_->ready) inflateEnd(&stream_->z);
}

void GzipBody::fail(HttpFailure failure, std::string text) {
  if (!outcome_.ok()) return;
  outcome_.failure = failure;
  outcome_.text = std::move(text);
}

bool GzipBody::decode(const char* data, std::size_t size) {
  z_stream& z = stream_->z;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  z.avail_in = static_cast<uInt>(size);
  while (z.avail_in > 0) {
    inMember_ = true;
    do {
      z.next_out = stream_->block.get();
      z.avail_out = kDecodedBlock;
      const int result = inflate(&z, Z_NO_FLUSH);
      if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
        fail(HttpFailure::Malformed, std::string("the gzip data is corrupt (") +
                                         (z.msg != nullptr ? z.msg : "no gzip data") + ")");
        return false;
      }
      const std::size_t produced = kDecodedBlock - z.avail_out;
      if (limit_ > 0 && decoded_ + static_cast<std::int64_t>(produced) > limit_) {
        fail(HttpFailure::BodyTooLarge,
             "the decoded body is larger than " + std::to_string(limit_) + " bytes");
        return false;
      }
      if (!file_.write(reinterpret_cast<const char*>(stream_->block.get()),
                       static_cast<std::streamsize>(produced))) {
        fail(HttpFailure::CannotWriteFile,
             "the file took no more after " + std::to_string(decoded_) + " decoded bytes");
        return false;
      }
      decoded_ += static_cast<std::int64_t>(produced);
      if (result == Z_STREAM_END) {
        // Another member may follow.
        inMember_ = false;
        inflateReset(&z);
        break;
      }
      if (result == Z_BUF_ERROR) break;
    } while (z.avail_out == 0);
  }
  return true;
}

std::streamsize GzipBody::xsputn(const char* data, std::streamsize size) {
  if (!outcome_.ok() || size <= 0) return 0;
  return decode(data, static_cast<std::size_t>(size)) ? size : 0;
}

GzipBody::int_type GzipBody::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

HttpOutcome GzipBody::finish() {
  if (inMember_) {
    fail(HttpFailure::BodyCutShort,
         "the gzip data ends early, after " + std::to_string(decoded_) + " decoded bytes");
  }
  return outcome_;
}
