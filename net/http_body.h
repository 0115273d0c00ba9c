// Copies one response body from a stream into a file, delimited as the head
// says: by chunked transfer coding, by Content-Length, or by the end of the
// connection.
//
// A body that ends before its end (the connection closes inside a chunk,
// before the last chunk, or before Content-Length bytes; a TLS connection
// ends without its closing alert where only the end delimits the body) is a
// failure, and so is a body beyond `limit` bytes (checked against
// Content-Length before anything is read), a chunk-size line or trailer
// section beyond kChunkTrailerLimit, a chunk-size line without a size,
// chunk data longer than its size, and a file that takes no more. A size of
// 0 is the last chunk. Trailer fields are read and dropped. What arrived
// before a failure stays in the file.
//
// SocketException from the stream passes through. Used by HttpConnection on
// its own thread.
#ifndef TESSAVO_NET_HTTP_BODY_H_
#define TESSAVO_NET_HTTP_BODY_H_

#include <cstddef>
#include <cstdint>
#include <ostream>

#include "net/http_failure.h"
#include "net/socket_stream.h"

// The most bytes a chunk-size line, or the trailer section as a whole, may
// have.
constexpr std::size_t kChunkTrailerLimit = 64 * 1024;

struct BodyFraming {
  bool chunked = false;
  std::int64_t length = -1;  // -1: none given (a negative value counts as none)
};

// `limit` of 0 or less means no limit.
HttpOutcome copyBody(SocketStream& stream, const BodyFraming& framing, std::int64_t limit,
                     std::ostream& file);

// The size on a chunk-size line: hexadecimal digits, then blanks or tabs,
// then the end of the line or chunk extensions after ";". False when the
// line holds anything else ("-5", "zz", "0x1a"). Saturates instead of
// overflowing.
bool readChunkSize(const char* line, std::int64_t* size);

#endif  // TESSAVO_NET_HTTP_BODY_H_
