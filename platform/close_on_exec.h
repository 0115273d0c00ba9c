// Marking descriptors close-on-exec in bulk, also between fork and exec:
// what the two ways of starting a program (child_process.h, process.h)
// share. Not a public service of the platform.
#ifndef TESSAVO_PLATFORM_CLOSE_ON_EXEC_H_
#define TESSAVO_PLATFORM_CLOSE_ON_EXEC_H_

namespace platform {

// The highest descriptor number worth marking when the kernel cannot mark a
// range at once. Call it before fork.
int descriptorLimit();

// Marks every descriptor from `first` on close-on-exec (below `limit` when
// done one by one). Async-signal-safe.
void markCloseOnExecFrom(int first, int limit);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_CLOSE_ON_EXEC_H_
