// Feeds arbitrary bytes to HttpConnection as a TLS server's response, over a
// real loopback connection (fuzz/net/response_peer.h): the same reader,
// behind the TLS stream.
#include <cstddef>
#include <cstdint>

#include "response_peer.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  startResponsePeer(true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzOneResponse(data, size);
}
