#include "platform/win32/process_start.h"

#include <algorithm>
#include <string_view>

#include "platform/ascii_case.h"
#include "platform/command_line.h"
#include "platform/win32/system_error.h"

namespace platform {
namespace {

bool needsQuotes(const std::string& argument) {
  return argument.empty() || argument.find_first_of(" \t\"") != std::string::npos;
}

// The environment block CreateProcessA takes, sorted by name without regard
// to case as Windows keeps its own.
std::string environmentBlock(std::vector<std::string> environment) {
  const auto name = [](const std::string& entry) {
    return std::string_view(entry).substr(0, entry.find('=', 1));
  };
  std::stable_sort(environment.begin(), environment.end(),
                   [&name](const std::string& a, const std::string& b) {
                     return lessIgnoringAsciiCase(name(a), name(b));
                   });
  std::string block;
  for (const std::string& entry : environment) block += entry + '\0';
  return block + '\0';
}

}  // namespace

std::string commandLineFor(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) {
      line += ' ' + quoteArgument(arguments[i]);
    } else if (needsQuotes(arguments[0])) {
      // The program's name has no escapes: quotes around it, and none in it.
      line += '"' + arguments[0] + '"';
    } else {
      line += arguments[0];
    }
  }
  return line;
}

bool createChildProcess(const std::string& program, const std::string& commandLine,
                        const std::vector<std::string>* environment, const std::string& folder,
                        DWORD flags, PROCESS_INFORMATION* started, int* error) {
  std::string line = commandLine;  // CreateProcessA may write into it
  std::string block;
  if (environment != nullptr) block = environmentBlock(*environment);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, flags,
                      environment != nullptr ? &block[0] : nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, started)) {
    *error = lastErrno();
    return false;
  }
  return true;
}

HANDLE newKillOnCloseJob() {
  const HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  return job;
}

bool startInJob(const ChildLaunch& launch, HANDLE job, PROCESS_INFORMATION* started, bool* inJob,
                int* error) {
  if (!createChildProcess(launch.program, commandLineFor(launch.arguments),
                          launch.environment ? &*launch.environment : nullptr, launch.folder,
                          CREATE_SUSPENDED | CREATE_NO_WINDOW, started, error)) {
    return false;
  }
  *inJob = job != nullptr && AssignProcessToJobObject(job, started->hProcess);
  ResumeThread(started->hThread);
  CloseHandle(started->hThread);
  started->hThread = nullptr;
  return true;
}

ChildOutcome endedOutcome(DWORD exitCode) {
  ChildOutcome outcome;
  const bool crashed = exitCode >= 0xC0000000u && exitCode != STATUS_CONTROL_C_EXIT;
  outcome.end = crashed ? ChildOutcome::End::Signalled : ChildOutcome::End::Exited;
  outcome.status = static_cast<int>(exitCode);
  return outcome;
}

}  // namespace platform
