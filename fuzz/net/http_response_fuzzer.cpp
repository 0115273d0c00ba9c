// Feeds arbitrary bytes to HttpConnection as a plain server's response, over
// a real loopback connection (fuzz/net/response_peer.h).
#include <cstddef>
#include <cstdint>

#include "response_peer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  startResponsePeer(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzOneResponse(data, size);
}
