// The client side of one TLS connection, over a connected non-blocking
// socket, through the system's TLS library (OpenSSL).
//
// Every session verifies the server as a browser would: the certificate
// chain against the system's CA store (SSL_CERT_FILE and SSL_CERT_DIR
// replace it, as for every OpenSSL program), the host name or IP address
// against the certificate, TLS 1.2 or later. The host name is sent as SNI.
// An end of data without the TLS closing alert is told apart from one with
// it (Cut, not Closed): many servers end a response that way, and the HTTP
// framing above tells a complete body from a cut one, except where the end
// of the connection is all that delimits the body.
//
// The calls never block: each says whether it is done or must wait until
// the socket can be read or written, so that the caller waits within its
// own limits and then calls again with the same arguments. Bytes go through
// the socket with MSG_NOSIGNAL, so a peer that has left never raises
// SIGPIPE.
//
// failure() names the reason of the last Failed in the words of the TLS
// library, with the certificate check's verdict where there is one:
// "certificate verify failed (self-signed certificate)".
//
// Threads: one thread at a time per session; sessions on different threads
// are independent. The session does not own the socket.
#ifndef TESSAVO_PLATFORM_TLS_SESSION_H_
#define TESSAVO_PLATFORM_TLS_SESSION_H_

#include <memory>
#include <string>

#include "platform/socket.h"

struct ssl_st;

namespace platform {

class TlsSession {
 public:
  enum class Status { Done, WantRead, WantWrite, Closed, Cut, Failed };

  // A session for the server named `host` (a name, or an IPv4 or IPv6
  // address without brackets), not yet shaken hands. Null, with the reason
  // in `error`, when the TLS library cannot make one.
  static std::unique_ptr<TlsSession> create(SocketHandle socket, const std::string& host,
                                            std::string* error);
  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  // Whether this build has a TLS library at all. Without one it is false,
  // with the reason in `reason`, and no connection needs to be tried.
  static bool isAvailable(std::string* reason);

  Status handshake();
  // Done with `*count` > 0 bytes; Closed at the end of data after the
  // closing alert, Cut at an end of data without it.
  Status read(char* buffer, int size, int* count);
  // Done with `*count` > 0 bytes taken.
  Status write(const char* data, int length, int* count);
  // Sends the closing alert if the socket takes it at once and nothing has
  // failed; never waits.
  void shutdown();

  const std::string& failure() const { return failure_; }
  // errno for a failure of the socket underneath, else 0.
  int failureCode() const { return failureCode_; }

 private:
  explicit TlsSession(ssl_st* ssl) : ssl_(ssl) {}
  // Sorts out the result of a TLS call that did not succeed.
  Status classify(int result, const char* socketFailure);
  Status cut();

  ssl_st* ssl_;
  std::string failure_;
  int failureCode_ = 0;
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_TLS_SESSION_H_
