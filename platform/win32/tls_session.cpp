#include "platform/tls_session.h"

#include "platform/local_text.h"

// The Windows build has no TLS library of its own yet (Schannel is the one
// to come): every https connection is refused with a reason the user reads
// in the target's error line, and the target counts as not checked.
namespace platform {

bool TlsSession::isAvailable(std::string* reason) {
  *reason = localText("https はこの版では検査できません");
  return false;
}

std::unique_ptr<TlsSession> TlsSession::create(SocketHandle, const std::string&,
                                               std::string* error) {
  isAvailable(error);
  return nullptr;
}

TlsSession::~TlsSession() = default;

TlsSession::Status TlsSession::handshake() {
  return Status::Failed;
}

TlsSession::Status TlsSession::read(char*, int, int*) {
  return Status::Failed;
}

TlsSession::Status TlsSession::write(const char*, int, int*) {
  return Status::Failed;
}

void TlsSession::shutdown() {}

}  // namespace platform
