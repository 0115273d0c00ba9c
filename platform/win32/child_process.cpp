#include "platform/child_process.h"

#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "platform/win32/process_start.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How often the stop flag is looked at while the child runs.
constexpr DWORD kStopCheckMilliseconds = 40;
// The exit code given to a child ended by stop or time-out.
constexpr UINT kEndedExitCode = 1;

}  // namespace

ChildOutcome runChild(const ChildLaunch& launch, const std::atomic<bool>* stop,
                      int timeoutSeconds) {
  ChildOutcome outcome;
  if (launch.arguments.empty()) {
    outcome.error = EINVAL;
    return outcome;
  }
  // denyNetwork is not honoured: Windows has no filter a program can put
  // on a child's sockets short of an AppContainer, which would also keep
  // the validator from the user's documents. The validator runs as the
  // user's own program, as it always did there.
  const HANDLE job = newKillOnCloseJob();
  PROCESS_INFORMATION started{};
  bool inJob = false;
  if (!startInJob(launch, job, &started, &inJob, &outcome.error)) {
    if (job != nullptr) CloseHandle(job);
    return outcome;
  }

  const Clock::time_point deadline = timeoutSeconds > 0
                                         ? Clock::now() + std::chrono::seconds(timeoutSeconds)
                                         : Clock::time_point::max();
  for (;;) {
    if (stop != nullptr && stop->load()) {
      outcome.end = ChildOutcome::End::Stopped;
      break;
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      outcome.end = ChildOutcome::End::TimedOut;
      break;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
    const DWORD slice =
        left < kStopCheckMilliseconds ? static_cast<DWORD>(left) + 1 : kStopCheckMilliseconds;
    if (WaitForSingleObject(started.hProcess, slice) != WAIT_TIMEOUT) {
      outcome.end = ChildOutcome::End::Exited;
      break;
    }
  }
  if (outcome.end != ChildOutcome::End::Exited) {
    // The whole job: the validator and every process it started.
    if (!inJob || !TerminateJobObject(job, kEndedExitCode)) {
      TerminateProcess(started.hProcess, kEndedExitCode);
    }
    WaitForSingleObject(started.hProcess, INFINITE);
  } else {
    DWORD exitCode = 0;
    GetExitCodeProcess(started.hProcess, &exitCode);
    outcome = endedOutcome(exitCode);
  }
  CloseHandle(started.hProcess);
  // Whatever the validator left running ends with the job.
  if (job != nullptr) CloseHandle(job);
  return outcome;
}

// The name of a crash status, as the Windows headers spell it, with its
// number: "STATUS_ACCESS_VIOLATION (0xC0000005)".
std::string signalName(int signal) {
  static const struct {
    DWORD code;
    const char* name;
  } kNames[] = {
      {0xC0000005u, "STATUS_ACCESS_VIOLATION"},       {0xC000001Du, "STATUS_ILLEGAL_INSTRUCTION"},
      {0xC0000094u, "STATUS_INTEGER_DIVIDE_BY_ZERO"}, {0xC00000FDu, "STATUS_STACK_OVERFLOW"},
      {0xC0000409u, "STATUS_STACK_BUFFER_OVERRUN"},   {0xC0000017u, "STATUS_NO_MEMORY"},
      {0xC0000135u, "STATUS_DLL_NOT_FOUND"},
  };
  const auto code = static_cast<DWORD>(signal);
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(code));
  for (const auto& entry : kNames) {
    if (entry.code == code) return std::string(entry.name) + " (" + number + ")";
  }
  return number;
}

}  // namespace platform
