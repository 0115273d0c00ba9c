#include "net/http_connection.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>

#include "net/decimal_text.h"
#include "net/http_request.h"
#include "platform/ascii_case.h"

namespace {

// One buffer serves for every line and every block of body data.
constexpr int kBufferSize = 1000;
// The output file's own buffer, so that 1000-byte blocks reach the disk in
// larger writes.
constexpr std::size_t kFileBufferSize = 64 * 1024;

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The hexadecimal number at the start of a chunk-size line, read the way
// scanf's "%x" reads it (white space, sign, "0x" prefix; anything after the
// digits, such as chunk extensions, is ignored). False when the line holds
// no number. Saturates instead of overflowing.
bool readChunkSize(const char* line, std::int64_t* size) {
  const char* p = line;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexDigitValue(p[2]) >= 0) p += 2;
  if (hexDigitValue(*p) < 0) return false;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (int digit; (digit = hexDigitValue(*p)) >= 0; ++p) {
    value = value > (kMax - digit) / 16 ? kMax : value * 16 + digit;
  }
  *size = negative ? -value : value;
  return true;
}

// What the header section says about the body and the connection.
struct BodyFraming {
  bool chunked = false;
  std::int64_t length = -1;  // -1: none given
  bool closeAfter = false;
};

// Copies up to `length` bytes (all that come, when `length` is negative)
// from the stream to the file in blocks of at most kBufferSize. False when
// the connection ended first or the file took no more.
bool copyBlocks(SocketStream& stream, std::ofstream& file, std::int64_t length, char* buffer) {
  while (length != 0) {
    const int wanted = length < 0 || length > kBufferSize ? kBufferSize : static_cast<int>(length);
    const int count = stream.read(buffer, wanted);
    if (count <= 0) return false;
    if (!file.write(buffer, count)) return false;
    if (length > 0) length -= count;
  }
  return true;
}

void copyChunkedBody(SocketStream& stream, std::ofstream& file, char* buffer) {
  for (;;) {
    stream.readLine(buffer, kBufferSize);
    std::int64_t size = 0;
    if (!readChunkSize(buffer, &size) || size <= 0) break;
    if (!copyBlocks(stream, file, size, buffer)) return;
    stream.readLine(buffer, kBufferSize);  // the line end after the chunk data
  }
  // Trailer fields are not kept.
  do {
    stream.readLine(buffer, kBufferSize);
  } while (buffer[0] != '\0');
}

}  // namespace

HttpConnection::HttpConnection(const char* userAgent)
    : userAgent_(userAgent != nullptr ? userAgent : "") {}

HttpConnection::~HttpConnection() {
  stream_.close();
}

void HttpConnection::setTimeout(int milliseconds) {
  timeout_ = milliseconds < kMinTimeout   ? kMinTimeout
             : milliseconds > kMaxTimeout ? kMaxTimeout
                                          : milliseconds;
}

void HttpConnection::forgetConnection() {
  stream_.close();
  connectedHost_.clear();
  connectedPort_ = -1;
}

bool HttpConnection::get(const URI& uri, const char* referer, HttpHeader& header,
                         const char* outputFile) {
  if (uri.scheme() != "http") return false;
  const std::string host = uri.host();
  const int port = uri.port() == -1 ? 80 : uri.port();

  if (!stream_.isOpen() || connectedHost_ != host || connectedPort_ != port) {
    forgetConnection();
    stream_.open(host.c_str(), port);
    if (!stream_.isOpen()) return false;
    connectedHost_ = host;
    connectedPort_ = port;
  }
  stream_.setTimeout(timeout_);

  const std::string request =
      httpRequestHead(outputFile != nullptr ? "GET" : "HEAD", uri, port, userAgent_, referer);
  // One send takes the whole request on a blocking socket; only an
  // interruption could leave a rest, which then follows.
  for (std::size_t sent = 0; sent < request.size();) {
    const int count = stream_.send(request.data() + sent, static_cast<int>(request.size() - sent));
    if (count <= 0) break;
    sent += static_cast<std::size_t>(count);
  }

  char buffer[kBufferSize];
  BodyFraming framing;
  header.clear();
  stream_.readLine(buffer, kBufferSize);
  const std::size_t statusLineLength = std::strlen(buffer);
  header.version.assign(buffer, statusLineLength < 8 ? statusLineLength : 8);
  if (header.version != "HTTP/1.1") framing.closeAfter = true;
  if (statusLineLength < 10) {
    header.status = 0;
  } else {
    const std::string code(buffer + 9, statusLineLength < 12 ? statusLineLength - 9 : 3);
    header.status = net::leadingDecimal(code.c_str());
  }

  for (;;) {
    stream_.readLine(buffer, kBufferSize);
    if (buffer[0] == '\0') break;
    // A line that is no field ends the head; what follows counts as body.
    const char* colon = std::strchr(buffer, ':');
    if (colon == nullptr) break;
    const std::string name =
        platform::toLowerAscii(std::string(static_cast<const char*>(buffer), colon));
    const char* valueStart = colon + 1;
    while (*valueStart == ' ') ++valueStart;
    const std::string value(valueStart);
    header.fields.emplace(name, value);

    if (name == "transfer-encoding") {
      if (platform::equalsIgnoringAsciiCase(value, "chunked")) framing.chunked = true;
    } else if (name == "content-length") {
      framing.length = net::leadingDecimal64(value.c_str());
    } else if (name == "connection") {
      if (platform::equalsIgnoringAsciiCase(value, "close")) framing.closeAfter = true;
    }
  }

  if (outputFile != nullptr) {
    std::unique_ptr<char[]> fileBuffer(new char[kFileBufferSize]);
    std::ofstream file;
    file.rdbuf()->pubsetbuf(fileBuffer.get(), kFileBufferSize);
    file.open(outputFile, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file.is_open()) {
      forgetConnection();
      return false;
    }
    if (framing.chunked) {
      copyChunkedBody(stream_, file, buffer);
    } else {
      copyBlocks(stream_, file, framing.length, buffer);
    }
    file.close();
    if (file.fail()) {
      // The disk is full or the file went away: what arrived is not all in
      // the file, and the rest of the body may still be on the connection.
      forgetConnection();
      return false;
    }
  }

  if (framing.closeAfter) stream_.close();
  return true;
}
