#include "peer_connection.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include "platform/socket_library.h"

TlsServer::TlsServer(const TlsIdentity& identity) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) return;
  if (SSL_CTX_use_certificate_chain_file(context, identity.certificate.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context, identity.key.c_str(), SSL_FILETYPE_PEM) != 1) {
    SSL_CTX_free(context);
    ERR_clear_error();
    return;
  }
  // Peers write whatever the script says, in as many pieces as it says.
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_AUTO_RETRY);
  context_ = context;
}

TlsServer::~TlsServer() {
  if (context_ != nullptr) SSL_CTX_free(context_);
}

PeerConnection::PeerConnection(platform::SocketHandle socket, const TlsServer* tls)
    : socket_(socket) {
  // OpenSSL's server writes with write(): a client that left would raise
  // SIGPIPE in the test program, as it would in the application without it.
  platform::startSocketLibrary();
  platform::setBlockingTimeouts(socket_, kWaitSeconds);
  if (tls == nullptr) return;
  ssl_ = SSL_new(tls->context());
  ok_ = ssl_ != nullptr && SSL_set_fd(ssl_, socket_) == 1 && SSL_accept(ssl_) == 1;
  ERR_clear_error();
}

PeerConnection::~PeerConnection() {
  if (ssl_ != nullptr) SSL_free(ssl_);
  platform::closeSocket(socket_);
}

int PeerConnection::receive(char* buffer, int size) {
  if (!ok_) return 0;
  if (ssl_ == nullptr) {
    const int count = platform::receiveSome(socket_, buffer, size);
    return count > 0 ? count : 0;
  }
  const int count = SSL_read(ssl_, buffer, size);
  ERR_clear_error();
  return count > 0 ? count : 0;
}

bool PeerConnection::sendAll(const std::string& data) {
  if (!ok_) return false;
  for (std::size_t sent = 0; sent < data.size();) {
    const int length = static_cast<int>(data.size() - sent);
    const int count = ssl_ != nullptr ? SSL_write(ssl_, data.data() + sent, length)
                                      : platform::sendSome(socket_, data.data() + sent, length);
    if (count <= 0) {
      ERR_clear_error();
      ok_ = false;
      return false;
    }
    sent += static_cast<std::size_t>(count);
  }
  return true;
}

void PeerConnection::endSending() {
  if (ssl_ != nullptr && ok_) {
    SSL_shutdown(ssl_);
    ERR_clear_error();
  }
  platform::shutdownSending(socket_);
}
