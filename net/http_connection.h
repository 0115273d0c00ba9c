// An HTTP/1.1 client that downloads one resource at a time into a local
// file with a single GET (or asks for its head only, with HEAD), or sends a
// body with POST and takes the response body into memory, over plain
// TCP for "http" URIs and over TLS for "https" ones (scheme names in any
// letter case).
//
// get() sends the request, reads the status line and header fields into an
// HttpHeader, and copies the body into the file, delimited by chunked
// transfer coding (first), by Content-Length, or by the end of the
// connection, and decoded when it came with "Content-Encoding: gzip". A
// response to HEAD, a 1xx, a 204 and a 304 have no body, and none is waited
// for; interim 1xx heads (all but 101) are passed over to the final
// response. It follows no redirects and accepts any status: the
// caller judges `status`. Header lines may have any length, as long as the
// whole head stays within kHeadLimit; the body moves in blocks of up to
// 64 KiB straight from the stream to the file.
//
// The connection is kept for the next get() to the same scheme, host and
// port (host compared byte for byte), unless the response was not HTTP/1.1,
// asked for "Connection: close", ran to the end of the connection, or
// failed. There is no retry: a kept connection that the server has
// meanwhile closed gives an empty status line (status 0).
//
// Failures: false, with failure() and failureText() telling what went
// wrong, for a scheme other than http and https, a connection that cannot
// be made, an output file that cannot be opened or written, a head larger
// than kHeadLimit, a status line without a three-digit code, a body whose
// framing or coding cannot be trusted (net/response_framing.h; a chunk-size
// line without a size, chunk data longer than its size), a body cut short
// (fewer bytes than Content-Length, a cut chunk, no last chunk, a TLS end
// without the closing alert where only the end delimits the body), a body
// beyond the body limit, a trailer beyond kTrailerLimit, a get() that
// outlasts the total time-out, and a stop through the stop flag. Every other
// SocketException of the stream (unknown host, time-out of one receive,
// receive or send failure, TLS failure) passes through. After a failure what had arrived stays in the file.
//
// Threads: one thread at a time; only the stop flag is written from
// elsewhere, and it ends any wait within a tenth of a second. Owns its
// stream; the destructor closes it.
#ifndef TESSAVO_NET_HTTP_CONNECTION_H_
#define TESSAVO_NET_HTTP_CONNECTION_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/http_body.h"
#include "net/http_failure.h"
#include "net/http_header.h"
#include "net/socket_stream.h"
#include "net/uri.h"

class HttpConnection {
 public:
  static constexpr int kMinTimeout = 5000;
  static constexpr int kMaxTimeout = 120000;
  // The response head: status line and fields, with any interim heads.
  static constexpr std::size_t kHeadLimit = 64 * 1024;
  // The trailer section of a chunked body, and each chunk-size line.
  static constexpr std::size_t kTrailerLimit = kChunkTrailerLimit;

  using Failure = HttpFailure;

  explicit HttpConnection(const char* userAgent);
  virtual ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  // The receive time-out in milliseconds, clamped to 5000-120000; applied
  // to the stream before every request. 30000 until set.
  void setTimeout(int milliseconds);
  // No receive time-out at all: a request then ends only by its total
  // time-out or the stop flag. For a local service of the program's own,
  // whose answer may take as long as the user's time limit allows.
  void setNoReceiveTimeout();
  // How long one get() may take as a whole, in seconds; 0 or less (the
  // initial value) for no limit.
  void setTotalTimeout(int seconds);
  // The most bytes a body may have; 0 or less (the initial value) for no
  // limit.
  void setBodyLimit(std::int64_t bytes);
  // A flag that, once true, makes get() give up (Failure::Stopped); null
  // (the initial value) for none. Not owned.
  void setStopFlag(const std::atomic<bool>* stop);

  // GET `uri` into `outputFile` (created or truncated), or HEAD when
  // `outputFile` is null. `referer` may be null or empty. True when a
  // response head was read (whatever its status) and, for a GET, the whole
  // body was copied.
  bool get(const URI& uri, const char* referer, HttpHeader& header, const char* outputFile);

  // POST `body` as `contentType` to `uri`; the response body goes into
  // `response`. The same connection rules, bounds and failures as get().
  bool post(const URI& uri, const std::string& contentType, const std::string& body,
            HttpHeader& header, std::string* response);

  // Why the last get() returned false: None after a success. The text names
  // the details ("connection ended after 5 of 100 bytes").
  Failure failure() const { return failure_; }
  const std::string& failureText() const { return failureText_; }

 private:
  // The request as a whole: the method and the text to send.
  struct Request {
    const char* method;
    const char* referer;
    const std::string* contentType;  // with `body`, for POST only
    const std::string* body;
  };
  // Where the response body goes: a file made once the head is read, or
  // memory; nowhere (both null) for HEAD.
  struct Output {
    const char* file;
    std::string* memory;
    bool isNone() const { return file == nullptr && memory == nullptr; }
  };
  // Runs one exchange within the bounds.
  bool transact(const URI& uri, const Request& request, const Output& output, HttpHeader& header);
  bool exchange(const URI& uri, bool secure, int port, const Request& request, const Output& output,
                HttpHeader& header);
  bool fail(Failure failure, std::string text);
  void forgetConnection();

  SocketStream stream_;
  std::string connectedHost_;
  int connectedPort_ = -1;
  bool connectedSecure_ = false;
  std::string userAgent_;
  int timeout_ = 30000;
  int totalTimeoutSeconds_ = 0;
  std::int64_t bodyLimit_ = 0;
  const std::atomic<bool>* stop_ = nullptr;
  Failure failure_ = Failure::None;
  std::string failureText_;
};

#endif  // TESSAVO_NET_HTTP_CONNECTION_H_
