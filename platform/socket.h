// The BSD-socket calls the network stream is built on, each a thin wrapper
// of one call; the Windows build's are Winsock 2's (platform/win32/), where
// the error codes are WSAGetLastError()'s.
//
// TCP stream sockets over IPv4 and IPv6. The client side is non-blocking:
// connectSocket() and every wait take a WaitLimit, so that a connection that
// never answers can be given up at a time-out, at a deadline, or as soon as
// another thread asks for it. Every failure is reported by the return value
// and, where a caller needs it, an error code (errno). No call raises
// SIGPIPE, every socket is close-on-exec (so a child process such as the
// validator never inherits a connection), and a call interrupted by a signal
// is resumed.
//
// Host names are resolved in platform/host_lookup.h.
//
// Threads: any thread may call any function on its own sockets.
#ifndef TESSAVO_PLATFORM_SOCKET_H_
#define TESSAVO_PLATFORM_SOCKET_H_

#include <array>
#include <atomic>
#include <chrono>
#include <string>

namespace platform {

using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;

// One numeric peer address, IPv4 (4 bytes used) or IPv6 (16 bytes).
struct PeerAddress {
  int family = 4;  // 4 or 6
  std::array<unsigned char, 16> bytes{};
};

// How long a blocking wait may last: until `until` (steady clock), and no
// longer than the moment `*stop` turns true, which is looked at every
// 100 ms. `stop` may be null.
struct WaitLimit {
  std::chrono::steady_clock::time_point until = std::chrono::steady_clock::time_point::max();
  const std::atomic<bool>* stop = nullptr;
};

enum class WaitResult { Ready, TimedOut, Stopped, Failed };
enum class Direction { Read, Write };

// A new non-blocking TCP socket for `address`'s family, or kInvalidSocket.
SocketHandle createClientSocket(const PeerAddress& address);

// Connects the client socket to `address` and `port`, waiting within
// `limit`. A port outside 0-65535 fails without a connection attempt.
// Failed leaves the reason in errno (lastSocketError()).
WaitResult connectSocket(SocketHandle socket, const PeerAddress& address, int port,
                         const WaitLimit& limit);

// Closes the handle; kInvalidSocket is ignored.
void closeSocket(SocketHandle socket);

// Waits within `limit` until the socket can be read (data, end of data or
// an error pending) or written.
WaitResult waitForSocket(SocketHandle socket, Direction direction, const WaitLimit& limit);

// One receive: the count placed in `buffer`, 0 when the peer has ended the
// connection, -1 on failure. On a non-blocking socket with nothing pending
// it fails and socketWouldBlock() is true.
int receiveSome(SocketHandle socket, char* buffer, int size);

// One send: the count the system accepted, or -1 on failure (on a
// non-blocking socket whose send buffer is full, socketWouldBlock() is true).
int sendSome(SocketHandle socket, const char* data, int length);

// The error code of the last failed call above on this thread (errno), and
// whether it only means "not now".
int lastSocketError();
bool socketWouldBlock();
// The system's text for an error code ("Connection refused").
std::string socketErrorText(int code);

// For test and benchmark peers, blocking sockets. A socket listening on
// `address` ("127.0.0.1", "::1", "127.0.0.2") at a port the system picks
// (returned in `port`), or kInvalidSocket.
SocketHandle listenOn(const char* address, int* port);
SocketHandle listenOnLoopback(int* port);  // 127.0.0.1
// The next incoming connection, or kInvalidSocket.
SocketHandle acceptConnection(SocketHandle listener);
// Waits at most `seconds` (at least 1) for data, end of data or an error.
enum class Readiness { Readable, TimedOut, Failed };
Readiness waitUntilReadable(SocketHandle socket, int seconds);
// Sends the end of data to the peer while still receiving from it.
void shutdownSending(SocketHandle socket);
// Bounds every blocking receive and send on `socket` to `seconds`.
void setBlockingTimeouts(SocketHandle socket, int seconds);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_SOCKET_H_
