// A buffered TCP client stream, plain or TLS, with a receive time-out:
// resolves a host, connects, sends blocks, reads blocks and reads text
// lines.
//
// Received bytes wait in a buffer of 64 KiB, filled by one receive at a
// time, so that lines are cut out of it without a system call per byte and
// a body moves in large blocks. A block read takes what the buffer holds,
// or, when it is empty, what one receive brings. The line reader ends a line
// at LF, CR LF or a lone CR; after a CR it looks at one more byte (waiting
// for it if need be) and leaves it for the next read if it is not LF.
//
// Every receive waits at most the time-out, in whole seconds (time-out /
// 1000, at least 1); a time-out of 0 or less waits without limit. The limit
// applies to each receive, so a slow trickle of bytes never times out; a
// deadline (setDeadline) bounds the whole exchange, and a stop flag
// (setStopFlag) ends any wait within a tenth of a second.
//
// Failures of the socket layer throw SocketException after closing the
// stream (kDeadline and kStopped for the two bounds above); connection
// failures are silent (test isOpen() after open(), openFailure() says why),
// and the end of data closes the stream. A secure stream verifies the server
// (platform/tls_session.h); a failed handshake throws with the TLS library's
// reason.
//
// Threads: one thread at a time per stream; only the flag given to
// setStopFlag is written from elsewhere. Owns its connection; the destructor
// closes it.
#ifndef TESSAVO_NET_SOCKET_STREAM_H_
#define TESSAVO_NET_SOCKET_STREAM_H_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "net/socket_channel.h"
#include "net/socket_exception.h"

class SocketStream {
 public:
  static constexpr int kBufferSize = 64 * 1024;

  enum class LineStatus {
    Complete,  // a line, without its line end (the data may have ended after it)
    TooLong,   // `limit` bytes came without a line end; the rest stays unread
    Ended,     // not a single byte: the end of data, and the stream is closed
  };

  SocketStream() = default;
  virtual ~SocketStream();
  SocketStream(const SocketStream&) = delete;
  SocketStream& operator=(const SocketStream&) = delete;

  // Connects to `host` (a name, a dotted IPv4 address, or an IPv6 address,
  // bare or in brackets) at `port`, over TLS when `secure`; an open stream
  // is closed first. A host that cannot be resolved throws "No such host is
  // known"; a socket that cannot be created or connected leaves the stream
  // closed.
  void open(const char* host, int port, bool secure = false);
  bool isOpen() const { return channel_.isOpen(); }
  // Why the last open() left the stream closed ("Connection refused").
  const std::string& openFailure() const { return openFailure_; }
  // Closes the connection and drops the buffered bytes; safe to repeat.
  void close();
  // Whether the last end of data came on a TLS connection without the
  // closing alert (the stream is closed by then); false for plain TCP.
  // Cleared by open().
  bool endWithoutCloseNotify() const { return endWithoutCloseNotify_; }

  void setTimeout(int milliseconds) { bounds_.timeoutMs = milliseconds; }
  // The moment every wait ends with kDeadline; time_point::max() for none.
  void setDeadline(std::chrono::steady_clock::time_point deadline) { bounds_.deadline = deadline; }
  // A flag that, once true, ends every wait with kStopped; null for none.
  // Not owned; it must outlive its use here.
  void setStopFlag(const std::atomic<bool>* stop) { bounds_.stop = stop; }

  // Sends all `length` bytes; returns `length`. Throws "send() failed"
  // (after closing) on failure, never SIGPIPE.
  int send(const char* data, int length);

  // Up to `size` bytes: those already buffered, or else what one receive
  // brings. Returns 0, and closes, at the end of data; returns 0 at once on
  // a closed stream.
  int read(char* buffer, int size);

  // One line of at most `size` - 1 bytes, NUL-terminated, without its line
  // end; a longer line comes in pieces over several calls. An empty result
  // with nothing received means the end of data, and closes the stream.
  void readLine(char* buffer, int size);

  // One whole line of at most `limit` bytes into `line`.
  LineStatus readLine(std::string* line, std::size_t limit);

 private:
  // One receive into the empty buffer; false at the end of data.
  bool fill();

  SocketChannel channel_;
  WaitBounds bounds_;
  std::string openFailure_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // the first unread byte
  std::size_t end_ = 0;    // after the last received byte
  bool peerEnded_ = false;
  bool endWithoutCloseNotify_ = false;
};

#endif  // TESSAVO_NET_SOCKET_STREAM_H_
