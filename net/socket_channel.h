// The bytes of one client connection: a TCP socket, with a TLS session over
// it for a secure connection. SocketStream builds its buffering and line
// rules on it, so both kinds of connection share them.
//
// Every blocking step waits within WaitBounds: the time-out of one step
// (one receive, one send, one connection attempt, the TLS handshake), the
// deadline of the whole exchange, and a stop flag another thread may set.
// A step that passes its time-out throws "Timeout", the deadline throws
// kDeadline and the stop throws kStopped; a failed receive or send throws
// its fixed text, a TLS failure the TLS library's reason. Nothing is
// closed by a throw: the owner decides.
//
// Threads: one thread at a time; only the stop flag is written from
// elsewhere. Owns its socket and session; the destructor closes both.
#ifndef TESSAVO_NET_SOCKET_CHANNEL_H_
#define TESSAVO_NET_SOCKET_CHANNEL_H_

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "platform/socket.h"
#include "platform/tls_session.h"

struct WaitBounds {
  // Per step, in milliseconds, counted in whole seconds (at least one); 0 or
  // less waits without a time-out.
  int timeoutMs = 20000;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  const std::atomic<bool>* stop = nullptr;
};

class SocketChannel {
 public:
  SocketChannel() = default;
  ~SocketChannel();
  SocketChannel(const SocketChannel&) = delete;
  SocketChannel& operator=(const SocketChannel&) = delete;

  // Resolves `host` (a name, an address, or an IPv6 address in brackets)
  // and connects to the first of its addresses that answers, then shakes
  // hands when `secure`. False, with the reason in `failure`, when no
  // connection could be made; throws "No such host is known" for an unknown
  // host and the TLS library's reason for a failed handshake.
  bool open(const std::string& host, int port, bool secure, const WaitBounds& bounds,
            std::string* failure);
  bool isOpen() const { return socket_ != platform::kInvalidSocket; }
  void close();

  // One receive of at most `size` bytes: the count, or 0 at the end of data.
  int receive(char* buffer, int size, const WaitBounds& bounds);
  // Whether the end of data came on a TLS connection without the closing
  // alert; false for plain TCP, which has no such alert. Until close().
  bool endWithoutCloseNotify() const { return endWithoutCloseNotify_; }
  // Sends all `length` bytes.
  void send(const char* data, int length, const WaitBounds& bounds);

 private:
  // Waits for the socket within the step's limits that began at `start`;
  // throws when a limit ends the wait.
  void wait(platform::Direction direction, std::chrono::steady_clock::time_point start,
            const WaitBounds& bounds);
  // Waits as a TLS call that cannot go on yet asks; false for any other
  // status.
  bool waitAsAsked(platform::TlsSession::Status status, std::chrono::steady_clock::time_point start,
                   const WaitBounds& bounds);
  [[noreturn]] void throwTlsFailure(const char* fallback) const;
  void handshake(const std::string& host, const WaitBounds& bounds);

  platform::SocketHandle socket_ = platform::kInvalidSocket;
  std::unique_ptr<platform::TlsSession> tls_;
  bool endWithoutCloseNotify_ = false;
};

#endif  // TESSAVO_NET_SOCKET_CHANNEL_H_
