#include "platform/network_filter.h"

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace platform {

struct NetworkFilter {
  std::vector<sock_filter> program;
};

namespace {

// The filter as libseccomp writes it out: the kernel's own form, for the
// architecture of this program (a system call of another architecture ends
// the process, as libseccomp does by default).
int buildFilter(NetworkFilter& filter) {
  scmp_filter_ctx context = ::seccomp_init(SCMP_ACT_ALLOW);
  if (context == nullptr) return ENOMEM;
  // socket()'s first argument, the family, is not AF_UNIX. Written out, as
  // SCMP_A0 leaves a field to its default, which clang warns about.
  const scmp_arg_cmp notUnix{0, SCMP_CMP_NE, AF_UNIX, 0};
  int result =
      ::seccomp_rule_add(context, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(socket), 1, notUnix);
  if (result == 0) {
    result = ::seccomp_rule_add(context, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(io_uring_setup), 0);
  }
  // The child sets "no new privileges" itself, right before the filter.
  if (result == 0) result = ::seccomp_attr_set(context, SCMP_FLTATR_CTL_NNP, 0);
  const int fd = result == 0 ? ::memfd_create("network-filter", MFD_CLOEXEC) : -1;
  if (result == 0 && fd < 0) result = -errno;
  if (result == 0) result = ::seccomp_export_bpf(context, fd);
  ::seccomp_release(context);
  if (result == 0) {
    const off_t size = ::lseek(fd, 0, SEEK_END);
    filter.program.resize(static_cast<std::size_t>(size > 0 ? size : 0) / sizeof(sock_filter));
    const std::size_t bytes = filter.program.size() * sizeof(sock_filter);
    if (bytes == 0 || ::pread(fd, filter.program.data(), bytes, 0) != static_cast<ssize_t>(bytes)) {
      result = -EIO;
    }
  }
  if (fd >= 0) ::close(fd);
  return result < 0 ? -result : result;
}

}  // namespace

const NetworkFilter* networkFilter(int* error) {
  static std::once_flag once;
  static NetworkFilter filter;
  static int failure = 0;
  std::call_once(once, [] { failure = buildFilter(filter); });
  if (error != nullptr) *error = failure;
  return failure == 0 ? &filter : nullptr;
}

int installNetworkFilter(const NetworkFilter& filter) {
  sock_fprog program{};
  program.len = static_cast<unsigned short>(filter.program.size());
  program.filter = const_cast<sock_filter*>(filter.program.data());
  // Without it an unprivileged process may not install a filter; it also
  // keeps a set-user-ID program from gaining rights the filter would cover.
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return errno;
  if (::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) return errno;
  return 0;
}

}  // namespace platform
