// A blocking TCP client stream with a receive time-out: resolves a host,
// connects, sends blocks, reads blocks and reads text lines.
//
// There is no buffering beyond one pushed-back byte: a block read goes
// straight to the socket, and a line read receives one byte at a time (so it
// suits short status and header lines). The line reader ends a line at LF,
// CR LF or a lone CR; after a CR it looks at one more byte and keeps it for
// the next read if it is not LF.
//
// Every receive waits at most the time-out, in whole seconds (time-out /
// 1000, at least 1); a time-out of 0 or less waits without limit. The limit
// applies to each receive, so a slow trickle of bytes never times out.
//
// Failures of the socket layer throw SocketException after closing the
// stream; connection failures are silent (test isOpen() after open()), and
// the end of data closes the stream. Host lookups are serialised by one
// process-wide lock, because the resolver calls share static storage.
//
// Threads: one thread at a time per stream. Owns its socket; the destructor
// closes it.
#ifndef TESSAVO_NET_SOCKET_STREAM_H_
#define TESSAVO_NET_SOCKET_STREAM_H_

#include "net/socket_exception.h"
#include "platform/socket.h"

class SocketStream {
 public:
  SocketStream() = default;
  virtual ~SocketStream();
  SocketStream(const SocketStream&) = delete;
  SocketStream& operator=(const SocketStream&) = delete;

  // Resolves `host` and connects to it at `port`; an open stream is closed
  // first. A host that cannot be resolved throws "No such host is known"; a
  // socket that cannot be created or connected leaves the stream closed.
  // A dotted address counts as known only when its reverse lookup succeeds.
  void open(const char* host, int port);
  bool isOpen() const { return socket_ != platform::kInvalidSocket; }
  // Closes the socket and drops the pushed-back byte; safe to repeat.
  void close();
  void setTimeout(int milliseconds) { timeout_ = milliseconds; }

  // One send of `length` bytes; returns the count the system accepted.
  // Throws "send() failed" (after closing) on failure, never SIGPIPE.
  int send(const char* data, int length);

  // Up to `size` bytes: the pushed-back byte, then what one receive
  // brings. Returns 0, and closes, at the end of data; returns 0 at once on
  // a closed stream.
  int read(char* buffer, int size);

  // One line of at most `size` - 1 bytes, NUL-terminated, without its line
  // end; a longer line comes in pieces over several calls. An empty result
  // with nothing received means the end of data, and closes the stream.
  void readLine(char* buffer, int size);

 private:
  // One receive, after waiting for readiness within the time-out.
  int receive(char* buffer, int size);

  platform::SocketHandle socket_ = platform::kInvalidSocket;
  bool atEnd_ = true;
  int pushback_ = -1;  // the byte read ahead, or -1
  int timeout_ = 20000;
};

#endif  // TESSAVO_NET_SOCKET_STREAM_H_
