// Starting the socket layer once per process, before any connection.
//
// BSD sockets need no library start, but a write to a connection that the
// peer has closed raises SIGPIPE, which ends the process. The program's own
// sockets send with MSG_NOSIGNAL; the toolkit's local IPC and any pipe are
// covered by ignoring the signal for the whole process here (started
// children get the default back, platform/process.h). Main thread, before
// other threads exist.
#ifndef TESSAVO_PLATFORM_SOCKET_LIBRARY_H_
#define TESSAVO_PLATFORM_SOCKET_LIBRARY_H_

namespace platform {

// False when the signal could not be set; later calls return the first
// call's result.
bool startSocketLibrary();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_SOCKET_LIBRARY_H_
