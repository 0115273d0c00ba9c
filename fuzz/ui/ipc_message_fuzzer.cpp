// What a peer writes on an IPC socket is outside input: the messages a
// server reads from its clients and the answers a client reads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/ipc/ipc_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  ipc_wire::ClientMessage message;
  std::size_t consumed = 0;
  if (ipc_wire::readClientMessage(input, &message, &consumed) == ipc_wire::Parse::Complete) {
    if (consumed == 0 || consumed > size || message.text.size() > ipc_wire::kMaxFieldBytes) {
      __builtin_trap();
    }
    // What was read is written back as the same message.
    if (message.code == ipc_wire::kRequest) {
      ipc_wire::ClientMessage again;
      std::size_t used = 0;
      if (ipc_wire::readClientMessage(ipc_wire::requestMessage(message.text), &again, &used) !=
              ipc_wire::Parse::Complete ||
          again.text != message.text) {
        __builtin_trap();
      }
    }
  }
  bool ok = false;
  std::string reply;
  if (ipc_wire::readReply(input, &ok, &reply) == ipc_wire::Parse::Complete &&
      reply.size() > ipc_wire::kMaxFieldBytes) {
    __builtin_trap();
  }
  return 0;
}
