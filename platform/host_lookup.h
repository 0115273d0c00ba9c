// Turning a host text into the addresses to connect to.
//
// A numeric host needs no lookup: a dotted IPv4 address ("127.0.0.2") and an
// IPv6 address, bare ("::1") or in the brackets a URI writes it in
// ("[::1]"), are read as they stand. Any other name goes to the system
// resolver (getaddrinfo, IPv4 and IPv6, in the resolver's order of
// preference).
//
// A resolver that does not answer cannot be interrupted, so the lookup runs
// on a helper thread of its own and the caller waits for it within a
// WaitLimit; a lookup given up that way finishes in the background and its
// result is dropped.
//
// Threads: any thread; nothing is shared between calls.
#ifndef TESSAVO_PLATFORM_HOST_LOOKUP_H_
#define TESSAVO_PLATFORM_HOST_LOOKUP_H_

#include <string>
#include <vector>

#include "platform/socket.h"

namespace platform {

// The address of a numeric host, or false when `host` is not one.
bool numericHostAddress(const std::string& host, PeerAddress* address);

// The addresses of `host`, numeric or a name. Ready with at least one
// address; Failed with the resolver's error code in `error` when the name
// is unknown; TimedOut or Stopped when `limit` ended the wait first.
WaitResult lookUpHost(const std::string& host, const WaitLimit& limit,
                      std::vector<PeerAddress>* addresses, int* error);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_HOST_LOOKUP_H_
