// The BSD-socket and resolver calls the network stream is built on, each a
// thin wrapper that a Windows build would replace with its Winsock call.
//
// Only IPv4 stream sockets, blocking. Every failure is reported by the
// return value and, where a caller needs it, an error code (errno, or
// h_errno for the resolver). No call raises SIGPIPE, every socket is
// close-on-exec (so a child process such as the validator never inherits a
// connection), and a wait or call interrupted by a signal is resumed.
//
// Threads: any thread may call any function on its own sockets, except
// lookUpHost(), whose resolver calls share static storage: callers must
// serialise it (the network stream does, with its host-lookup lock).
#ifndef TESSAVO_PLATFORM_SOCKET_H_
#define TESSAVO_PLATFORM_SOCKET_H_

#include <cstdint>

namespace platform {

using SocketHandle = int;
constexpr SocketHandle kInvalidSocket = -1;

// Resolves `name` to its first IPv4 address, in network byte order. A
// dotted address ("127.0.0.1") must have a reverse entry (gethostbyaddr);
// anything else is looked up by name (gethostbyname). On failure returns
// false with the resolver's error code in `error`.
bool lookUpHost(const char* name, std::uint32_t* address, int* error);

// A new TCP socket, or kInvalidSocket.
SocketHandle createStreamSocket();

// Connects, blocking, to `address` (network byte order) and `port`. A port
// outside 0-65535 fails without a connection attempt.
bool connectSocket(SocketHandle socket, std::uint32_t address, int port);

// Closes the handle; kInvalidSocket is ignored.
void closeSocket(SocketHandle socket);

enum class Readiness { Readable, TimedOut, Failed };

// Waits at most `seconds` (at least 1) for data, end of data or an error to
// be pending on the socket.
Readiness waitUntilReadable(SocketHandle socket, int seconds);

// One receive: the count placed in `buffer`, 0 when the peer has ended the
// connection, -1 on failure. receiveAvailable() does not wait: with nothing
// pending it returns -1 and sets `wouldBlock`.
int receiveSome(SocketHandle socket, char* buffer, int size);
int receiveAvailable(SocketHandle socket, char* buffer, int size, bool* wouldBlock);

// One send: the count the system accepted, or -1 on failure.
int sendSome(SocketHandle socket, const char* data, int length);

// The error code of the last failed call above on this thread (errno).
int lastSocketError();

// For test and benchmark peers: a socket listening on 127.0.0.1 at a port
// the system picks (returned in `port`), or kInvalidSocket.
SocketHandle listenOnLoopback(int* port);
// The next incoming connection, or kInvalidSocket.
SocketHandle acceptConnection(SocketHandle listener);
// Sends the end of data to the peer while still receiving from it.
void shutdownSending(SocketHandle socket);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_SOCKET_H_
