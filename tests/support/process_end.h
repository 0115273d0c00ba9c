// Waiting, with a bound, for a process that is not the test's own child (a
// validator two levels down) to end.
#ifndef TESSAVO_TESTS_SUPPORT_PROCESS_END_H_
#define TESSAVO_TESTS_SUPPORT_PROCESS_END_H_

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace test_support {

// True once `pid` has ended (gone, or a zombie waiting for its parent),
// waiting up to `milliseconds`: a killed process needs a moment to be
// scheduled and die.
inline bool processEnded(pid_t pid, int milliseconds = 2000) {
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd < 0) return errno == ESRCH;
  pollfd entry{static_cast<int>(fd), POLLIN, 0};
  const bool ended = ::poll(&entry, 1, milliseconds) == 1;
  ::close(static_cast<int>(fd));
  return ended;
}

}  // namespace test_support

#endif  // TESSAVO_TESTS_SUPPORT_PROCESS_END_H_
