#include "platform/socket_library.h"

#include <signal.h>

namespace platform {

bool startSocketLibrary() {
  static const bool started = [] {
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGPIPE, &action, nullptr) == 0;
  }();
  return started;
}

}  // namespace platform
