// A system-call filter that takes the network from a child program (the
// validator): socket() for every family but AF_UNIX fails with EACCES, so a
// program that tries to fetch something reports that it cannot connect, and
// io_uring, which could open sockets past that rule, is not there (ENOSYS).
// Everything else is allowed. A filter, once installed, holds for the
// process and everything it runs, and cannot be undone.
//
// The filter is built once per process, with libseccomp, in the parent;
// installing it in a child between fork and exec makes two system calls and
// nothing else, so it is safe there. Any thread.
#ifndef TESSAVO_PLATFORM_NETWORK_FILTER_H_
#define TESSAVO_PLATFORM_NETWORK_FILTER_H_

namespace platform {

struct NetworkFilter;

// The filter, or null when it cannot be built here; `error` (may be null)
// then receives an errno value.
const NetworkFilter* networkFilter(int* error);

// Installs `filter` in the calling process. 0, or an errno value. Async-
// signal-safe.
int installNetworkFilter(const NetworkFilter& filter);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_NETWORK_FILTER_H_
