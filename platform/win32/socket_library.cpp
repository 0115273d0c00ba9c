#include "platform/socket_library.h"

#include <winsock2.h>

namespace platform {

// Winsock 2.2, started once for the whole process and left running until
// it ends (the system cleans up then).
bool startSocketLibrary() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

}  // namespace platform
