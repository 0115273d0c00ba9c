#include "platform/service_process.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After the socket headers, whose address types it uses.
#include <iphlpapi.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win32/process_start.h"

namespace platform {
namespace {

// How often the socket table, the child and the stop flag are looked at.
constexpr DWORD kLookMilliseconds = 40;
// The exit code of a service that end() ended.
constexpr UINT kEndedExitCode = 1;

// The system's table of listening TCP sockets with their owners, of the
// address family `family`, in `*table`; false when it cannot be had. The
// table may grow between the call that sizes it and the one that fills it,
// so a few tries are made.
bool listenerTable(ULONG family, std::vector<char>* table) {
  DWORD size = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    table->resize(size);
    const DWORD result = GetExtendedTcpTable(table->empty() ? nullptr : table->data(), &size, FALSE,
                                             family, TCP_TABLE_OWNER_PID_LISTENER, 0);
    if (result == NO_ERROR) return true;
    if (result != ERROR_INSUFFICIENT_BUFFER) return false;
  }
  return false;
}

// The port of the first row that `pid` owns on 127.0.0.1, 0 when none.
int ipv4Port(DWORD pid) {
  std::vector<char> buffer;
  if (!listenerTable(AF_INET, &buffer)) return 0;
  const auto* table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCPROW_OWNER_PID& row = table->table[i];
    if (row.dwOwningPid == pid && row.dwLocalAddr == htonl(INADDR_LOOPBACK)) {
      return ntohs(static_cast<u_short>(row.dwLocalPort));
    }
  }
  return 0;
}

// ::1, or 127.0.0.1 mapped into IPv6.
bool isIpv6Loopback(const UCHAR (&bytes)[16]) {
  in6_addr address;
  std::memcpy(&address, bytes, sizeof address);
  const UCHAR* const last = address.s6_addr + 12;
  return IN6_IS_ADDR_LOOPBACK(&address) || (IN6_IS_ADDR_V4MAPPED(&address) && last[0] == 127 &&
                                            last[1] == 0 && last[2] == 0 && last[3] == 1);
}

// The port of the first row that `pid` owns on ::1 or on 127.0.0.1 mapped
// into IPv6, 0 when none.
int ipv6Port(DWORD pid) {
  std::vector<char> buffer;
  if (!listenerTable(AF_INET6, &buffer)) return 0;
  const auto* table = reinterpret_cast<const MIB_TCP6TABLE_OWNER_PID*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_TCP6ROW_OWNER_PID& row = table->table[i];
    if (row.dwOwningPid == pid && isIpv6Loopback(row.ucLocalAddr)) {
      return ntohs(static_cast<u_short>(row.dwLocalPort));
    }
  }
  return 0;
}

}  // namespace

int loopbackListeningPort(int pid) {
  if (pid <= 0) return 0;
  const int port = ipv4Port(static_cast<DWORD>(pid));
  return port != 0 ? port : ipv6Port(static_cast<DWORD>(pid));
}

ServiceProcess::~ServiceProcess() {
  end();
}

bool ServiceProcess::start(const ChildLaunch& launch, int* error) {
  end();
  outcome_ = ChildOutcome();
  if (launch.arguments.empty()) {
    *error = EINVAL;
    return false;
  }
  const HANDLE job = newKillOnCloseJob();
  PROCESS_INFORMATION started{};
  bool inJob = false;
  if (!startInJob(launch, job, &started, &inJob, error)) {
    if (job != nullptr) CloseHandle(job);
    return false;
  }
  // Outside a job the service is ended on its own (end()).
  if (inJob) {
    job_ = job;
  } else if (job != nullptr) {
    CloseHandle(job);
  }
  process_ = started.hProcess;
  pid_ = static_cast<int>(started.dwProcessId);
  return true;
}

ServiceProcess::Wait ServiceProcess::waitUntilListening(const std::atomic<bool>* stop,
                                                        int timeoutSeconds, int* port) {
  const ULONGLONG deadline =
      timeoutSeconds > 0 ? GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds) * 1000 : 0;
  for (;;) {
    if (!isRunning()) return Wait::Ended;
    *port = loopbackListeningPort(pid_);
    if (*port != 0) return Wait::Listening;
    if (stop != nullptr && stop->load()) return Wait::Stopped;
    if (deadline != 0 && GetTickCount64() >= deadline) return Wait::TimedOut;
    // Wakes early when the child ends.
    WaitForSingleObject(process_, kLookMilliseconds);
  }
}

void ServiceProcess::reapIfEnded() {
  if (process_ == nullptr || WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) return;
  DWORD exitCode = 0;
  GetExitCodeProcess(process_, &exitCode);
  outcome_ = endedOutcome(exitCode);
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
  // Whatever the service left running ends with the job.
  if (job_ != nullptr) CloseHandle(job_);
  job_ = nullptr;
}

bool ServiceProcess::isRunning() {
  reapIfEnded();
  return process_ != nullptr;
}

bool ServiceProcess::waitForEnd(std::chrono::milliseconds limit) {
  if (process_ != nullptr) {
    const auto milliseconds =
        std::min<long long>(std::max<long long>(limit.count(), 0), INFINITE - 1);
    WaitForSingleObject(process_, static_cast<DWORD>(milliseconds));
  }
  return !isRunning();
}

ChildOutcome ServiceProcess::outcome() {
  reapIfEnded();
  return outcome_;
}

void ServiceProcess::end() {
  reapIfEnded();
  if (process_ == nullptr) return;
  // The whole job: the service and every process it started.
  if (job_ == nullptr || !TerminateJobObject(job_, kEndedExitCode)) {
    TerminateProcess(process_, kEndedExitCode);
  }
  WaitForSingleObject(process_, INFINITE);
  reapIfEnded();
}

}  // namespace platform
