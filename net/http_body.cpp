#include "net/http_body.h"

#include <limits>
#include <memory>
#include <string>

#include "net/response_framing.h"

namespace {

constexpr int kBlockSize = 64 * 1024;

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

enum class Copied { All, Ended, Failed };

// One body's copy: the stream, the file, the block buffer and the count so
// far, with the failure once there is one.
class BodyCopy {
 public:
  BodyCopy(SocketStream& stream, std::int64_t limit, std::ostream& file)
      : stream_(stream), limit_(limit), file_(file), block_(new char[kBlockSize]) {}

  // Copies `length` bytes, or everything up to the end of data when
  // `length` is negative.
  Copied copy(std::int64_t length) {
    while (length != 0) {
      const int wanted = length < 0 || length > kBlockSize ? kBlockSize : static_cast<int>(length);
      const int count = stream_.read(block_.get(), wanted);
      if (count <= 0) return Copied::Ended;
      if (limit_ > 0 && written_ + count > limit_) {
        fail(HttpFailure::BodyTooLarge,
             "the body is larger than " + std::to_string(limit_) + " bytes");
        return Copied::Failed;
      }
      if (!file_.write(block_.get(), count)) {
        fail(HttpFailure::CannotWriteFile,
             "the file took no more after " + std::to_string(written_) + " bytes");
        return Copied::Failed;
      }
      written_ += count;
      if (length > 0) length -= count;
    }
    return Copied::All;
  }

  // True when `more` bytes still fit under the limit; a failure otherwise.
  bool fits(std::int64_t more, const char* what) {
    if (limit_ <= 0 || more <= limit_ - written_) return true;
    fail(HttpFailure::BodyTooLarge, std::string(what) + " of " + std::to_string(more) +
                                        " bytes makes the body larger than " +
                                        std::to_string(limit_) + " bytes");
    return false;
  }

  void fail(HttpFailure failure, std::string text) {
    outcome_.failure = failure;
    outcome_.text = std::move(text);
  }

  std::int64_t written() const { return written_; }
  const HttpOutcome& outcome() const { return outcome_; }

 private:
  SocketStream& stream_;
  const std::int64_t limit_;
  std::ostream& file_;
  std::unique_ptr<char[]> block_;
  std::int64_t written_ = 0;
  HttpOutcome outcome_;
};

HttpOutcome copyChunked(SocketStream& stream, BodyCopy& body) {
  std::string line;
  for (;;) {
    const SocketStream::LineStatus status = stream.readLine(&line, kChunkTrailerLimit);
    if (status == SocketStream::LineStatus::Ended) {
      body.fail(HttpFailure::BodyCutShort, "the connection ended before the last chunk");
      return body.outcome();
    }
    if (status == SocketStream::LineStatus::TooLong) {
      body.fail(HttpFailure::TrailerTooLarge, "a chunk-size line is longer than " +
                                                  std::to_string(kChunkTrailerLimit) + " bytes");
      return body.outcome();
    }
    std::int64_t size = 0;
    if (!readChunkSize(line.c_str(), &size)) {
      body.fail(HttpFailure::Malformed,
                "the chunk-size line " + shownServerText(line) + " holds no chunk size");
      return body.outcome();
    }
    if (size == 0) break;
    if (!body.fits(size, "a chunk")) return body.outcome();
    const std::int64_t before = body.written();
    switch (body.copy(size)) {
      case Copied::All:
        break;
      case Copied::Ended:
        body.fail(HttpFailure::BodyCutShort, "the connection ended inside a chunk, after " +
                                                 std::to_string(body.written() - before) + " of " +
                                                 std::to_string(size) + " bytes");
        return body.outcome();
      case Copied::Failed:
        return body.outcome();
    }
    // The chunk data ends with a line end; anything before it means the
    // data was longer than its size said. A missing line end shows up as
    // the end of data at the next chunk-size line.
    if (stream.readLine(&line, kChunkTrailerLimit) != SocketStream::LineStatus::Ended &&
        !line.empty()) {
      body.fail(HttpFailure::Malformed,
                "a chunk's data is longer than its size of " + std::to_string(size) + " bytes");
      return body.outcome();
    }
  }
  // Trailer fields are not kept; the end of data after the last chunk ends
  // them as well as an empty line does.
  std::size_t trailer = 0;
  for (;;) {
    const SocketStream::LineStatus status = stream.readLine(&line, kChunkTrailerLimit - trailer);
    if (status == SocketStream::LineStatus::Ended || line.empty()) break;
    trailer += line.size() + 1;
    if (status == SocketStream::LineStatus::TooLong || trailer >= kChunkTrailerLimit) {
      body.fail(HttpFailure::TrailerTooLarge,
                "the trailer is larger than " + std::to_string(kChunkTrailerLimit) + " bytes");
      break;
    }
  }
  return body.outcome();
}

}  // namespace

bool readChunkSize(const char* line, std::int64_t* size) {
  const char* p = line;
  if (hexDigitValue(*p) < 0) return false;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (int digit; (digit = hexDigitValue(*p)) >= 0; ++p) {
    value = value > (kMax - digit) / 16 ? kMax : value * 16 + digit;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p != '\0' && *p != ';') return false;
  *size = value;
  return true;
}

HttpOutcome copyBody(SocketStream& stream, const BodyFraming& framing, std::int64_t limit,
                     std::ostream& file) {
  BodyCopy body(stream, limit, file);
  if (framing.chunked) return copyChunked(stream, body);
  if (framing.length < 0) {
    // Only the end of the connection ends this body. Over TLS an end
    // without the closing alert may be an attacker's or a network's cut.
    if (body.copy(-1) == Copied::Ended && stream.endWithoutCloseNotify()) {
      body.fail(HttpFailure::BodyCutShort, "the TLS connection ended without close_notify after " +
                                               std::to_string(body.written()) + " bytes");
    }
    return body.outcome();
  }
  if (!body.fits(framing.length, "a body")) return body.outcome();
  if (body.copy(framing.length) == Copied::Ended) {
    body.fail(HttpFailure::BodyCutShort, "the connection ended after " +
                                             std::to_string(body.written()) + " of " +
                                             std::to_string(framing.length) + " bytes");
  }
  return body.outcome();
}
