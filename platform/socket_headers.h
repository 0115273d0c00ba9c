// The system headers of the socket calls, for the sources of platform/
// whose code is the same on both systems (host_lookup.cpp): the BSD headers
// on POSIX, Winsock 2 on Windows. Internal to platform/.
#ifndef TESSAVO_PLATFORM_SOCKET_HEADERS_H_
#define TESSAVO_PLATFORM_SOCKET_HEADERS_H_

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#endif  // TESSAVO_PLATFORM_SOCKET_HEADERS_H_
