#include "platform/socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the stop flag.
constexpr std::chrono::milliseconds kStopPollInterval(100);

// Fills `storage` with the address and port; returns its length.
socklen_t toSockaddr(const PeerAddress& address, int port, sockaddr_storage* storage) {
  std::memset(storage, 0, sizeof *storage);
  if (address.family == 6) {
    auto* peer = reinterpret_cast<sockaddr_in6*>(storage);
    peer->sin6_family = AF_INET6;
    peer->sin6_port = htons(static_cast<std::uint16_t>(port));
    std::memcpy(&peer->sin6_addr, address.bytes.data(), 16);
    return sizeof *peer;
  }
  auto* peer = reinterpret_cast<sockaddr_in*>(storage);
  peer->sin_family = AF_INET;
  peer->sin_port = htons(static_cast<std::uint16_t>(port));
  std::memcpy(&peer->sin_addr, address.bytes.data(), 4);
  return sizeof *peer;
}

}  // namespace

SocketHandle createClientSocket(const PeerAddress& address) {
  const int family = address.family == 6 ? AF_INET6 : AF_INET;
  const int handle = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (handle < 0) return kInvalidSocket;
  // A request goes out as its head and then its body; with Nagle's rule the
  // body would wait for the peer's delayed acknowledgement of the head, up
  // to 40 ms a request.
  const int on = 1;
  ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return handle;
}

WaitResult connectSocket(SocketHandle socket, const PeerAddress& address, int port,
                         const WaitLimit& limit) {
  if (port < 0 || port > 65535) {
    errno = EINVAL;
    return WaitResult::Failed;
  }
  sockaddr_storage peer;
  const socklen_t length = toSockaddr(address, port, &peer);
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&peer), length) == 0) {
    return WaitResult::Ready;
  }
  if (errno != EINPROGRESS && errno != EINTR) return WaitResult::Failed;
  // The connection goes on in the background: wait for its outcome.
  const WaitResult waited = waitForSocket(socket, Direction::Write, limit);
  if (waited != WaitResult::Ready) return waited;
  int result = 0;
  socklen_t resultLength = sizeof result;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &result, &resultLength) != 0) {
    return WaitResult::Failed;
  }
  errno = result;
  return result == 0 ? WaitResult::Ready : WaitResult::Failed;
}

void closeSocket(SocketHandle socket) {
  if (socket != kInvalidSocket) ::close(socket);
}

WaitResult waitForSocket(SocketHandle socket, Direction direction, const WaitLimit& limit) {
  pollfd entry{socket, static_cast<short>(direction == Direction::Read ? POLLIN : POLLOUT), 0};
  for (;;) {
    if (limit.stop != nullptr && limit.stop->load()) return WaitResult::Stopped;
    const Clock::time_point now = Clock::now();
    if (now >= limit.until) return WaitResult::TimedOut;
    // Without a stop flag the wait needs no slices, but a slice keeps the
    // milliseconds within an int however far away `until` is.
    std::chrono::milliseconds slice =
        limit.stop != nullptr ? kStopPollInterval : std::chrono::milliseconds(24 * 60 * 60 * 1000);
    if (limit.until - now < slice) {
      // Rounded up, so that the wait never ends just before `until`.
      slice = std::chrono::ceil<std::chrono::milliseconds>(limit.until - now);
    }
    const int result = ::poll(&entry, 1, static_cast<int>(slice.count()));
    if (result > 0) return WaitResult::Ready;
    if (result < 0 && errno != EINTR) return WaitResult::Failed;
  }
}

int receiveSome(SocketHandle socket, char* buffer, int size) {
  for (;;) {
    const ssize_t count = ::recv(socket, buffer, static_cast<size_t>(size), 0);
    if (count >= 0 || errno != EINTR) return static_cast<int>(count);
  }
}

int sendSome(SocketHandle socket, const char* data, int length) {
  for (;;) {
    const ssize_t count = ::send(socket, data, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (count >= 0 || errno != EINTR) return static_cast<int>(count);
  }
}

int lastSocketError() {
  return errno;
}

bool socketWouldBlock() {
  return errno == EAGAIN || errno == EWOULDBLOCK;
}

std::string socketErrorText(int code) {
  char text[256] = {};
  // The GNU strerror_r may return a static text instead of filling `text`.
  return ::strerror_r(code, text, sizeof text);
}

SocketHandle listenOn(const char* address, int* port) {
  sockaddr_storage storage{};
  socklen_t length = 0;
  int family = AF_INET;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
  if (::inet_pton(AF_INET, address, &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    length = sizeof *v4;
  } else if (::inet_pton(AF_INET6, address, &v6->sin6_addr) == 1) {
    family = AF_INET6;
    v6->sin6_family = AF_INET6;
    length = sizeof *v6;
  } else {
    return kInvalidSocket;
  }
  const int handle = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (handle < 0) return kInvalidSocket;
  if (::bind(handle, reinterpret_cast<const sockaddr*>(&storage), length) != 0 ||
      ::listen(handle, 64) != 0 ||
      ::getsockname(handle, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    ::close(handle);
    return kInvalidSocket;
  }
  *port = ntohs(family == AF_INET ? v4->sin_port : v6->sin6_port);
  return handle;
}

SocketHandle listenOnLoopback(int* port) {
  return listenOn("127.0.0.1", port);
}

SocketHandle acceptConnection(SocketHandle listener) {
  for (;;) {
    const int handle = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (handle >= 0) return handle;
    if (errno != EINTR) return kInvalidSocket;
  }
}

Readiness waitUntilReadable(SocketHandle socket, int seconds) {
  WaitLimit limit;
  limit.until = Clock::now() + std::chrono::seconds(std::max(1, seconds));
  switch (waitForSocket(socket, Direction::Read, limit)) {
    case WaitResult::Ready:
      return Readiness::Readable;
    case WaitResult::TimedOut:
    case WaitResult::Stopped:
      return Readiness::TimedOut;
    case WaitResult::Failed:
      break;
  }
  return Readiness::Failed;
}

void shutdownSending(SocketHandle socket) {
  ::shutdown(socket, SHUT_WR);
}

void setBlockingTimeouts(SocketHandle socket, int seconds) {
  timeval limit{};
  limit.tv_sec = seconds;
  ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

}  // namespace platform
