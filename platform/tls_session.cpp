#include "platform/tls_session.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdint>

#include "platform/host_lookup.h"

namespace platform {

namespace {

// The socket behind a BIO of ours, kept in the BIO's data pointer.
SocketHandle socketOf(BIO* bio) {
  return static_cast<SocketHandle>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
}

int bioWrite(BIO* bio, const char* data, int length) {
  BIO_clear_retry_flags(bio);
  const int count = sendSome(socketOf(bio), data, length);
  if (count < 0 && socketWouldBlock()) BIO_set_retry_write(bio);
  return count;
}

int bioRead(BIO* bio, char* buffer, int size) {
  BIO_clear_retry_flags(bio);
  const int count = receiveSome(socketOf(bio), buffer, size);
  if (count < 0 && socketWouldBlock()) BIO_set_retry_read(bio);
  return count;
}

long bioControl(BIO*, int command, long, void*) {
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

// The library's own socket BIO writes with write(), which raises SIGPIPE on
// a connection the peer has reset; this one goes through sendSome().
BIO_METHOD* socketMethod() {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "tessavo socket");
    if (made != nullptr) {
      BIO_meth_set_write(made, bioWrite);
      BIO_meth_set_read(made, bioRead);
      BIO_meth_set_ctrl(made, bioControl);
      BIO_meth_set_create(made, bioCreate);
    }
    return made;
  }();
  return method;
}

SSL_CTX* clientContext() {
  static SSL_CTX* const context = [] {
    SSL_CTX* made = SSL_CTX_new(TLS_client_method());
    if (made == nullptr) return made;
    SSL_CTX_set_min_proto_version(made, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(made);
    SSL_CTX_set_verify(made, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_mode(made, SSL_MODE_ENABLE_PARTIAL_WRITE);
    return made;
  }();
  return context;
}

std::string errorReason(unsigned long error) {
  const char* reason = ERR_reason_error_string(error);
  return reason != nullptr ? reason : "unknown TLS error " + std::to_string(ERR_GET_REASON(error));
}

}  // namespace

bool TlsSession::isAvailable(std::string*) {
  return true;
}

std::unique_ptr<TlsSession> TlsSession::create(SocketHandle socket, const std::string& host,
                                               std::string* error) {
  ERR_clear_error();
  SSL_CTX* context = clientContext();
  BIO_METHOD* method = socketMethod();
  SSL* ssl = context != nullptr && method != nullptr ? SSL_new(context) : nullptr;
  BIO* bio = ssl != nullptr ? BIO_new(method) : nullptr;
  if (bio == nullptr) {
    if (ssl != nullptr) SSL_free(ssl);
    *error = "TLS is not available";
    return nullptr;
  }
  BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(socket)));
  SSL_set_bio(ssl, bio, bio);  // the session owns the BIO now

  PeerAddress numeric;
  bool named = false;
  if (numericHostAddress(host, &numeric)) {
    named = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
  } else {
    // No SNI for an address: the extension carries names only.
    named = SSL_set1_host(ssl, host.c_str()) == 1 &&
            SSL_set_tlsext_host_name(ssl, const_cast<char*>(host.c_str())) == 1;
  }
  if (!named) {
    SSL_free(ssl);
    *error = "TLS cannot check the host name " + host;
    return nullptr;
  }
  SSL_set_connect_state(ssl);
  return std::unique_ptr<TlsSession>(new TlsSession(ssl));
}

TlsSession::~TlsSession() {
  SSL_free(ssl_);
}

TlsSession::Status TlsSession::classify(int result, const char* socketFailure) {
  const int code = SSL_get_error(ssl_, result);
  switch (code) {
    case SSL_ERROR_WANT_READ:
      return Status::WantRead;
    case SSL_ERROR_WANT_WRITE:
      return Status::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
      return Status::Closed;
    case SSL_ERROR_SYSCALL:
      // The end of data without the closing alert, as older libraries
      // report it.
      if (errno == 0) return cut();
      failure_ = socketFailure;
      failureCode_ = errno;
      return Status::Failed;
    default:
      break;
  }
  const unsigned long error = ERR_get_error();
  failureCode_ = 0;
  if (ERR_GET_LIB(error) == ERR_LIB_SSL &&
      ERR_GET_REASON(error) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
    ERR_clear_error();
    return cut();
  }
  if (error == 0) {
    failure_ = "TLS error " + std::to_string(code);
  } else if (SSL_get_verify_result(ssl_) != X509_V_OK) {
    failure_ = errorReason(error) + " (" +
               X509_verify_cert_error_string(SSL_get_verify_result(ssl_)) + ")";
  } else {
    failure_ = errorReason(error);
  }
  ERR_clear_error();
  return Status::Failed;
}

TlsSession::Status TlsSession::cut() {
  // The session is over: no closing alert is to be sent any more.
  failure_ = "the connection ended without the TLS closing alert";
  return Status::Cut;
}

TlsSession::Status TlsSession::handshake() {
  ERR_clear_error();
  errno = 0;
  const int result = SSL_do_handshake(ssl_);
  if (result == 1) return Status::Done;
  const Status status = classify(result, "");
  if (status == Status::Closed || status == Status::Cut) {
    failure_ = "TLS handshake failed (the server closed the connection)";
  } else if (status == Status::Failed && failureCode_ != 0) {
    failure_ = "TLS handshake failed (" + socketErrorText(failureCode_) + ")";
  } else if (status == Status::Failed &&
             failure_.find("certificate verify failed") == std::string::npos) {
    failure_ = "TLS handshake failed: " + failure_;
  }
  return status == Status::Closed || status == Status::Cut ? Status::Failed : status;
}

TlsSession::Status TlsSession::read(char* buffer, int size, int* count) {
  ERR_clear_error();
  errno = 0;
  const int result = SSL_read(ssl_, buffer, size);
  *count = result > 0 ? result : 0;
  return result > 0 ? Status::Done : classify(result, "recv() failed");
}

TlsSession::Status TlsSession::write(const char* data, int length, int* count) {
  ERR_clear_error();
  errno = 0;
  const int result = SSL_write(ssl_, data, length);
  *count = result > 0 ? result : 0;
  return result > 0 ? Status::Done : classify(result, "send() failed");
}

void TlsSession::shutdown() {
  // After a fatal error the library forbids the closing alert.
  if (!failure_.empty()) return;
  ERR_clear_error();
  SSL_shutdown(ssl_);
  ERR_clear_error();
}

}  // namespace platform
