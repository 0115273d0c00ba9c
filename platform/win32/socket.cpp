#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/socket_library.h"

namespace platform {

// Winsock handles are kernel handles, whose significant bits fit in the
// int the interface carries; INVALID_SOCKET becomes kInvalidSocket.
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the stop flag.
constexpr std::chrono::milliseconds kStopPollInterval(100);

// Winsock must be started before any socket call, name lookups included.
// The window starts it itself; every other program that links these calls
// has it started before main().
[[maybe_unused]] const bool kSocketLibraryStarted = startSocketLibrary();

SOCKET native(SocketHandle socket) {
  return static_cast<SOCKET>(static_cast<std::intptr_t>(socket));
}

SocketHandle handleOf(SOCKET socket) {
  return socket == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(socket);
}

// Fills `storage` with the address and port; returns its length.
int toSockaddr(const PeerAddress& address, int port, sockaddr_storage* storage) {
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

// A new socket that no started program inherits.
SOCKET newSocket(int family) {
  return WSASocketW(family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
}

}  // namespace

SocketHandle createClientSocket(const PeerAddress& address) {
  const SOCKET handle = newSocket(address.family == 6 ? AF_INET6 : AF_INET);
  if (handle == INVALID_SOCKET) return kInvalidSocket;
  u_long nonBlocking = 1;
  if (ioctlsocket(handle, FIONBIO, &nonBlocking) != 0) {
    closesocket(handle);
    return kInvalidSocket;
  }
  // A request goes out as its head and then its body; with Nagle's rule the
  // body would wait for the peer's delayed acknowledgement of the head.
  const BOOL on = TRUE;
  setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return handleOf(handle);
}

WaitResult connectSocket(SocketHandle socket, const PeerAddress& address, int port,
                         const WaitLimit& limit) {
  if (port < 0 || port > 65535) {
    WSASetLastError(WSAEINVAL);
    return WaitResult::Failed;
  }
  sockaddr_storage peer;
  const int length = toSockaddr(address, port, &peer);
  if (::connect(native(socket), reinterpret_cast<const sockaddr*>(&peer), length) == 0) {
    return WaitResult::Ready;
  }
  if (WSAGetLastError() != WSAEWOULDBLOCK) return WaitResult::Failed;
  // The connection goes on in the background: wait for its outcome. A
  // refused connection shows as an error, never as writable.
  const WaitResult waited = waitForSocket(socket, Direction::Write, limit);
  if (waited != WaitResult::Ready) return waited;
  int result = 0;
  int resultLength = sizeof result;
  if (::getsockopt(native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result),
                   &resultLength) != 0) {
    return WaitResult::Failed;
  }
  WSASetLastError(result);
  return result == 0 ? WaitResult::Ready : WaitResult::Failed;
}

void closeSocket(SocketHandle socket) {
  if (socket != kInvalidSocket) closesocket(native(socket));
}

WaitResult waitForSocket(SocketHandle socket, Direction direction, const WaitLimit& limit) {
  // POLLOUT alone would miss a failed connection: Winsock reports it as
  // POLLERR/POLLHUP, which count as ready (the caller reads SO_ERROR).
  WSAPOLLFD entry{native(socket),
                  static_cast<short>(direction == Direction::Read ? POLLRDNORM : POLLWRNORM), 0};
  for (;;) {
    if (limit.stop != nullptr && limit.stop->load()) return WaitResult::Stopped;
    const Clock::time_point now = Clock::now();
    if (now >= limit.until) return WaitResult::TimedOut;
    std::chrono::milliseconds slice =
        limit.stop != nullptr ? kStopPollInterval : std::chrono::milliseconds(24 * 60 * 60 * 1000);
    if (limit.until - now < slice) {
      // Rounded up, so that the wait never ends just before `until`.
      slice = std::chrono::ceil<std::chrono::milliseconds>(limit.until - now);
    }
    entry.revents = 0;
    const int result = WSAPoll(&entry, 1, static_cast<int>(slice.count()));
    if (result > 0) return WaitResult::Ready;
    if (result < 0 && WSAGetLastError() != WSAEINTR) return WaitResult::Failed;
  }
}

int receiveSome(SocketHandle socket, char* buffer, int size) {
  return ::recv(native(socket), buffer, size, 0);
}

// Windows has no SIGPIPE: a send to a peer that has gone fails with an error.
int sendSome(SocketHandle socket, const char* data, int length) {
  return ::send(native(socket), data, length, 0);
}

int lastSocketError() {
  return WSAGetLastError();
}

bool socketWouldBlock() {
  return WSAGetLastError() == WSAEWOULDBLOCK;
}

std::string socketErrorText(int code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  if (text != nullptr) LocalFree(text);
  // The system's texts end with a line break and often a full stop.
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  return result.empty() ? "Winsock error " + std::to_string(code) : result;
}

SocketHandle listenOn(const char* address, int* port) {
  sockaddr_storage storage{};
  int length = 0;
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
  const SOCKET handle = newSocket(family);
  if (handle == INVALID_SOCKET) return kInvalidSocket;
  // Nobody else may take over the port while the test's server holds it.
  BOOL exclusive = TRUE;
  ::setsockopt(handle, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof exclusive);
  if (::bind(handle, reinterpret_cast<const sockaddr*>(&storage), length) != 0 ||
      ::listen(handle, 64) != 0 ||
      ::getsockname(handle, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    closesocket(handle);
    return kInvalidSocket;
  }
  *port = ntohs(family == AF_INET ? v4->sin_port : v6->sin6_port);
  return handleOf(handle);
}

SocketHandle listenOnLoopback(int* port) {
  return listenOn("127.0.0.1", port);
}

SocketHandle acceptConnection(SocketHandle listener) {
  const SOCKET handle = ::accept(native(listener), nullptr, nullptr);
  if (handle == INVALID_SOCKET) return kInvalidSocket;
  // An accepted socket takes over the listener's inheritance, which is off.
  return handleOf(handle);
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
  ::shutdown(native(socket), SD_SEND);
}

void setBlockingTimeouts(SocketHandle socket, int seconds) {
  const DWORD milliseconds = static_cast<DWORD>(seconds) * 1000;
  ::setsockopt(native(socket), SOL_SOCKET, SO_RCVTIMEO,
               reinterpret_cast<const char*>(&milliseconds), sizeof milliseconds);
  ::setsockopt(native(socket), SOL_SOCKET, SO_SNDTIMEO,
               reinterpret_cast<const char*>(&milliseconds), sizeof milliseconds);
}

}  // namespace platform
