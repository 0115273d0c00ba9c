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

// A job whose processes all end when its last handle closes: when this
// program is killed, its validator and whatever that started go with it.
// A process of the job that crashes ends at once with its exception code,
// never held by a crash dialog until the time-out.
HANDLE newJob() {
  const HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  return job;
}

// An exit code in the NTSTATUS error range is a crash (0xC0000005, an
// access violation), the Windows counterpart of a fatal signal.
bool isCrash(DWORD exitCode) {
  return exitCode >= 0xC0000000u && exitCode != STATUS_CONTROL_C_EXIT;
}

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
  const HANDLE job = newJob();
  PROCESS_INFORMATION started{};
  // Suspended until it is in the job, so that nothing it starts escapes;
  // no console, so no window opens and no Ctrl+C of the user's console
  // reaches it: the program stops it.
  if (!createChildProcess(launch.program, commandLineFor(launch.arguments),
                          launch.environment ? &*launch.environment : nullptr, launch.folder,
                          CREATE_SUSPENDED | CREATE_NO_WINDOW, &started, &outcome.error)) {
    if (job != nullptr) CloseHandle(job);
    return outcome;
  }
  const bool inJob = job != nullptr && AssignProcessToJobObject(job, started.hProcess);
  ResumeThread(started.hThread);
  CloseHandle(started.hThread);

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
    if (isCrash(exitCode)) {
      outcome.end = ChildOutcome::End::Signalled;
    }
    outcome.status = static_cast<int>(exitCode);
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
