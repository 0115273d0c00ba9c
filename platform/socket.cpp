#include "platform/socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform {

bool lookUpHost(const char* name, std::uint32_t* address, int* error) {
  const in_addr_t dotted = ::inet_addr(name);
  const hostent* entry = nullptr;
  if (dotted != INADDR_NONE) {
    entry = ::gethostbyaddr(&dotted, sizeof dotted, AF_INET);
  } else {
    entry = ::gethostbyname(name);
  }
  if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_length != 4 ||
      entry->h_addr_list[0] == nullptr) {
    *error = entry == nullptr ? h_errno : HOST_NOT_FOUND;
    return false;
  }
  std::memcpy(address, entry->h_addr_list[0], 4);
  return true;
}

SocketHandle createStreamSocket() {
  const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return handle >= 0 ? handle : kInvalidSocket;
}

bool connectSocket(SocketHandle socket, std::uint32_t address, int port) {
  if (port < 0 || port > 65535) {
    errno = EINVAL;
    return false;
  }
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<std::uint16_t>(port));
  peer.sin_addr.s_addr = address;
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return true;
  if (errno != EINTR) return false;
  // An interrupted connect goes on in the background: wait for its outcome.
  pollfd entry{socket, POLLOUT, 0};
  while (::poll(&entry, 1, -1) < 0) {
    if (errno != EINTR) return false;
  }
  int result = 0;
  socklen_t length = sizeof result;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &result, &length) != 0) return false;
  errno = result;
  return result == 0;
}

void closeSocket(SocketHandle socket) {
  if (socket != kInvalidSocket) ::close(socket);
}

Readiness waitUntilReadable(SocketHandle socket, int seconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(seconds < 1 ? 1 : seconds);
  pollfd entry{socket, POLLIN, 0};
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const int result = ::poll(&entry, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (result > 0) return Readiness::Readable;
    if (result == 0) return Readiness::TimedOut;
    if (errno != EINTR) return Readiness::Failed;
  }
}

int receiveSome(SocketHandle socket, char* buffer, int size) {
  for (;;) {
    const ssize_t count = ::recv(socket, buffer, static_cast<size_t>(size), 0);
    if (count >= 0 || errno != EINTR) return static_cast<int>(count);
  }
}

int receiveAvailable(SocketHandle socket, char* buffer, int size, bool* wouldBlock) {
  for (;;) {
    const ssize_t count = ::recv(socket, buffer, static_cast<size_t>(size), MSG_DONTWAIT);
    if (count >= 0) {
      *wouldBlock = false;
      return static_cast<int>(count);
    }
    if (errno != EINTR) {
      *wouldBlock = errno == EAGAIN || errno == EWOULDBLOCK;
      return -1;
    }
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

SocketHandle listenOnLoopback(int* port) {
  const int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (handle < 0) return kInvalidSocket;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(handle, 64) != 0 ||
      ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(handle);
    return kInvalidSocket;
  }
  *port = ntohs(address.sin_port);
  return handle;
}

SocketHandle acceptConnection(SocketHandle listener) {
  for (;;) {
    const int handle = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (handle >= 0) return handle;
    if (errno != EINTR) return kInvalidSocket;
  }
}

void shutdownSending(SocketHandle socket) {
  ::shutdown(socket, SHUT_WR);
}

}  // namespace platform
