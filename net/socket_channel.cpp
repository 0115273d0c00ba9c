#include "net/socket_channel.h"

#include <algorithm>
#include <vector>

#include "net/socket_exception.h"
#include "platform/host_lookup.h"

namespace {

using Clock = std::chrono::steady_clock;

// The end of a step that began at `start`: its time-out or the deadline,
// whichever comes first; `timedOut` tells which.
Clock::time_point stepEnd(Clock::time_point start, const WaitBounds& bounds, bool* timeoutFirst) {
  *timeoutFirst = false;
  if (bounds.timeoutMs <= 0) return bounds.deadline;
  const Clock::time_point end = start + std::chrono::seconds(std::max(1, bounds.timeoutMs / 1000));
  if (end >= bounds.deadline) return bounds.deadline;
  *timeoutFirst = true;
  return end;
}

// A step that never waits still ends when it is asked to: an endless body
// that streams in as fast as it is read must not outlive the stop or the
// deadline.
void checkBounds(const WaitBounds& bounds) {
  if (bounds.stop != nullptr && bounds.stop->load()) {
    throw SocketException(SocketException::kStopped, -1);
  }
  if (bounds.deadline != Clock::time_point::max() && Clock::now() >= bounds.deadline) {
    throw SocketException(SocketException::kDeadline, -1);
  }
}

}  // namespace

SocketChannel::~SocketChannel() {
  close();
}

void SocketChannel::close() {
  endWithoutCloseNotify_ = false;
  if (tls_) tls_->shutdown();
  tls_.reset();
  platform::closeSocket(socket_);
  socket_ = platform::kInvalidSocket;
}

void SocketChannel::wait(platform::Direction direction, Clock::time_point start,
                         const WaitBounds& bounds) {
  bool timeoutFirst = false;
  platform::WaitLimit limit;
  limit.until = stepEnd(start, bounds, &timeoutFirst);
  limit.stop = bounds.stop;
  switch (platform::waitForSocket(socket_, direction, limit)) {
    case platform::WaitResult::Ready:
      return;
    case platform::WaitResult::TimedOut:
      throw SocketException(timeoutFirst ? SocketException::kTimeout : SocketException::kDeadline,
                            -1);
    case platform::WaitResult::Stopped:
      throw SocketException(SocketException::kStopped, -1);
    case platform::WaitResult::Failed:
      break;
  }
  throw SocketException(SocketException::kSelectFailed, platform::lastSocketError());
}

bool SocketChannel::open(const std::string& host, int port, bool secure, const WaitBounds& bounds,
                         std::string* failure) {
  close();
  failure->clear();
  checkBounds(bounds);
  std::string noTls;
  if (secure && !platform::TlsSession::isAvailable(&noTls)) throw SocketException(noTls, -1);
  platform::WaitLimit lookupLimit;
  lookupLimit.until = bounds.deadline;
  lookupLimit.stop = bounds.stop;
  std::vector<platform::PeerAddress> addresses;
  int error = 0;
  switch (platform::lookUpHost(host, lookupLimit, &addresses, &error)) {
    case platform::WaitResult::Ready:
      break;
    case platform::WaitResult::TimedOut:
      throw SocketException(SocketException::kDeadline, -1);
    case platform::WaitResult::Stopped:
      throw SocketException(SocketException::kStopped, -1);
    case platform::WaitResult::Failed:
      throw SocketException(SocketException::kNoSuchHost, error);
  }

  for (const platform::PeerAddress& address : addresses) {
    const platform::SocketHandle socket = platform::createClientSocket(address);
    if (socket == platform::kInvalidSocket) {
      *failure = platform::socketErrorText(platform::lastSocketError());
      continue;
    }
    bool timeoutFirst = false;
    platform::WaitLimit limit;
    limit.until = stepEnd(Clock::now(), bounds, &timeoutFirst);
    limit.stop = bounds.stop;
    const platform::WaitResult result = platform::connectSocket(socket, address, port, limit);
    const int connectError = platform::lastSocketError();
    if (result == platform::WaitResult::Ready) {
      socket_ = socket;
      break;
    }
    platform::closeSocket(socket);
    if (result == platform::WaitResult::Stopped) {
      throw SocketException(SocketException::kStopped, -1);
    }
    if (result == platform::WaitResult::TimedOut && !timeoutFirst) {
      throw SocketException(SocketException::kDeadline, -1);
    }
    *failure = result == platform::WaitResult::TimedOut ? "Connection timed out"
                                                        : platform::socketErrorText(connectError);
  }
  if (!isOpen()) return false;
  if (secure) {
    try {
      handshake(host, bounds);
    } catch (const SocketException&) {
      close();
      throw;
    }
  }
  failure->clear();
  return true;
}

bool SocketChannel::waitAsAsked(platform::TlsSession::Status status, Clock::time_point start,
                                const WaitBounds& bounds) {
  if (status == platform::TlsSession::Status::WantRead) {
    wait(platform::Direction::Read, start, bounds);
    return true;
  }
  if (status == platform::TlsSession::Status::WantWrite) {
    wait(platform::Direction::Write, start, bounds);
    return true;
  }
  return false;
}

void SocketChannel::throwTlsFailure(const char* fallback) const {
  const std::string& failure = tls_->failure();
  throw SocketException(failure.empty() ? std::string(fallback) : failure,
                        tls_->failureCode() != 0 ? tls_->failureCode() : -1);
}

void SocketChannel::handshake(const std::string& host, const WaitBounds& bounds) {
  // Certificates name an IPv6 address without the URI's brackets.
  const std::string bare = host.size() >= 2 && host.front() == '[' && host.back() == ']'
                               ? host.substr(1, host.size() - 2)
                               : host;
  std::string error;
  tls_ = platform::TlsSession::create(socket_, bare, &error);
  if (!tls_) throw SocketException(error, -1);
  const Clock::time_point start = Clock::now();
  for (;;) {
    const platform::TlsSession::Status status = tls_->handshake();
    if (status == platform::TlsSession::Status::Done) return;
    if (!waitAsAsked(status, start, bounds)) throwTlsFailure("TLS handshake failed");
  }
}

int SocketChannel::receive(char* buffer, int size, const WaitBounds& bounds) {
  checkBounds(bounds);
  const Clock::time_point start = Clock::now();
  for (;;) {
    if (tls_) {
      int count = 0;
      const platform::TlsSession::Status status = tls_->read(buffer, size, &count);
      if (status == platform::TlsSession::Status::Done) return count;
      if (status == platform::TlsSession::Status::Closed) return 0;
      if (status == platform::TlsSession::Status::Cut) {
        endWithoutCloseNotify_ = true;
        return 0;
      }
      if (!waitAsAsked(status, start, bounds)) throwTlsFailure(SocketException::kRecvFailed);
      continue;
    }
    const int count = platform::receiveSome(socket_, buffer, size);
    if (count >= 0) return count;
    if (!platform::socketWouldBlock()) {
      throw SocketException(SocketException::kRecvFailed, platform::lastSocketError());
    }
    wait(platform::Direction::Read, start, bounds);
  }
}

void SocketChannel::send(const char* data, int length, const WaitBounds& bounds) {
  checkBounds(bounds);
  const Clock::time_point start = Clock::now();
  for (int sent = 0; sent < length;) {
    if (tls_) {
      int count = 0;
      const platform::TlsSession::Status status = tls_->write(data + sent, length - sent, &count);
      if (status == platform::TlsSession::Status::Done) {
        sent += count;
      } else if (!waitAsAsked(status, start, bounds)) {
        throwTlsFailure(SocketException::kSendFailed);
      }
      continue;
    }
    const int count = platform::sendSome(socket_, data + sent, length - sent);
    if (count >= 0) {
      sent += count;
      continue;
    }
    if (!platform::socketWouldBlock()) {
      throw SocketException(SocketException::kSendFailed, platform::lastSocketError());
    }
    wait(platform::Direction::Write, start, bounds);
  }
}
