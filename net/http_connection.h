// An HTTP/1.1 client that downloads one resource at a time into a local
// file with a single GET (or asks for its head only, with HEAD).
//
// get() sends the request, reads the status line and header fields into an
// HttpHeader, and copies the body into the file, delimited by chunked
// transfer coding (first), by Content-Length, or by the end of the
// connection. It follows no redirects and accepts any status: the caller
// judges `status`. Lines are read byte by byte into a 1000-byte working
// buffer (so at most 999 bytes each), and the body moves in blocks of at most
// 1000 bytes straight from the socket to the file.
//
// The connection is kept for the next get() to the same host and port
// (compared byte for byte), unless the response was not HTTP/1.1, asked for
// "Connection: close", ran to the end of the connection, or failed. There is
// no retry: a kept connection that the server has meanwhile closed gives an
// empty status line (status 0).
//
// Failures: false for a scheme other than "http", a connection that cannot
// be made and an output file that cannot be opened or written; every
// SocketException of the stream (unknown host, time-out, receive or send
// failure) passes through, with what had arrived left in the file.
//
// Threads: one thread at a time. Owns its stream; the destructor closes it.
#ifndef TESSAVO_NET_HTTP_CONNECTION_H_
#define TESSAVO_NET_HTTP_CONNECTION_H_

#include <string>

#include "net/http_header.h"
#include "net/socket_stream.h"
#include "net/uri.h"

class HttpConnection {
 public:
  static constexpr int kMinTimeout = 5000;
  static constexpr int kMaxTimeout = 120000;

  explicit HttpConnection(const char* userAgent);
  virtual ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  // The receive time-out in milliseconds, clamped to 5000-120000; applied
  // to the stream before every request. 30000 until set.
  void setTimeout(int milliseconds);

  // GET `uri` into `outputFile` (created or truncated), or HEAD when
  // `outputFile` is null. `referer` may be null or empty. True when a
  // response head was read (whatever its status) and, for a GET, the body
  // was copied, even if the connection ended before its announced length.
  bool get(const URI& uri, const char* referer, HttpHeader& header, const char* outputFile);

 private:
  void forgetConnection();

  SocketStream stream_;
  std::string connectedHost_;
  int connectedPort_ = -1;
  std::string userAgent_;
  int timeout_ = 30000;
};

#endif  // TESSAVO_NET_HTTP_CONNECTION_H_
