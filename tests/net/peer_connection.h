// The server's end of one accepted connection in a test peer, plain or
// TLS, on a blocking socket whose every receive and send gives up after
// 20 seconds, so that a faulty client fails its test instead of hanging it.
//
// The TLS side is OpenSSL's server, with a certificate and key from files
// (tests/net/test_certificates.h); the handshake happens in accept().
//
// Threads: one thread per connection; a TlsServer may serve several at
// once.
#ifndef TESSAVO_TESTS_NET_PEER_CONNECTION_H_
#define TESSAVO_TESTS_NET_PEER_CONNECTION_H_

#include <memory>
#include <string>

#include "platform/socket.h"
#include "test_certificates.h"

struct ssl_ctx_st;
struct ssl_st;

// An OpenSSL server context; usable() is false when the files cannot be
// loaded.
class TlsServer {
 public:
  explicit TlsServer(const TlsIdentity& identity);
  ~TlsServer();
  TlsServer(const TlsServer&) = delete;
  TlsServer& operator=(const TlsServer&) = delete;

  bool usable() const { return context_ != nullptr; }
  ssl_ctx_st* context() const { return context_; }

 private:
  ssl_ctx_st* context_ = nullptr;
};

class PeerConnection {
 public:
  static constexpr int kWaitSeconds = 20;

  // Takes `socket` (owned from now on); with `tls`, shakes hands as its
  // server. ok() is false when the handshake failed.
  PeerConnection(platform::SocketHandle socket, const TlsServer* tls);
  ~PeerConnection();
  PeerConnection(const PeerConnection&) = delete;
  PeerConnection& operator=(const PeerConnection&) = delete;

  bool ok() const { return ok_; }
  // Up to `size` bytes; 0 at the end of data, after a failure or time-out.
  int receive(char* buffer, int size);
  // False when the client is gone or stopped reading for too long.
  bool sendAll(const std::string& data);
  // Ends the sending side (with the TLS closing alert) but keeps receiving.
  void endSending();

 private:
  platform::SocketHandle socket_;
  ssl_st* ssl_ = nullptr;
  bool ok_ = true;
};

#endif  // TESSAVO_TESTS_NET_PEER_CONNECTION_H_
