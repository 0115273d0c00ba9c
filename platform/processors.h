// How many processor cores this process may run on.
#ifndef TESSAVO_PLATFORM_PROCESSORS_H_
#define TESSAVO_PLATFORM_PROCESSORS_H_

namespace platform {

// The cores the process's affinity allows (what `nproc` says), else the
// cores that are online; at least 1. Any thread.
int processorCount();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_PROCESSORS_H_
