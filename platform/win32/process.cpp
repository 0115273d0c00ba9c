#include "platform/process.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/path_text.h"
#include "platform/win32/process_start.h"

namespace platform {
namespace {

bool isFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// `path` as it would be started: itself, or with ".exe" when its name has
// no extension, as CreateProcess adds it.
std::string executableAt(const std::string& path) {
  if (isFile(path)) return path;
  const std::string::size_type separator = lastSeparator(path);
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (name.find('.') == std::string::npos && isFile(path + ".exe")) return path + ".exe";
  return std::string();
}

bool hasFolder(const std::string& program) {
  return lastSeparator(program) != std::string::npos || (program.size() >= 2 && program[1] == ':');
}

// Starts the command line: the program found by findProgram, the command
// line handed over as the user wrote it, for the program to split. False
// with an errno value in `error` (ENOENT when no program is found).
bool start(const std::string& commandLine, DWORD flags, PROCESS_INFORMATION* started, int* error) {
  const std::vector<std::string> arguments = splitCommandLine(commandLine);
  const std::string program = arguments.empty() ? std::string() : findProgram(arguments[0]);
  if (program.empty()) {
    *error = ENOENT;
    return false;
  }
  return createChildProcess(program, commandLine, nullptr, std::string(), flags, started, error);
}

}  // namespace

std::string findProgram(const std::string& program) {
  if (program.empty()) return std::string();
  if (hasFolder(program)) return executableAt(program);
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr ? path : "";
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = folders.find(';', begin);
    std::string folder = folders.substr(begin, end == std::string::npos ? end : end - begin);
    if (!folder.empty()) {
      const std::string found = executableAt(withSeparator(folder) + program);
      if (!found.empty()) return found;
    }
    if (end == std::string::npos) break;
    begin = end + 1;
  }
  return std::string();
}

std::string defaultValidatorProgram() {
  return findProgram("nsgmls").empty() ? "onsgmls" : "nsgmls";
}

bool runAndWait(const std::string& commandLine, int* exitCode) {
  PROCESS_INFORMATION started{};
  int error = 0;
  if (!start(commandLine, CREATE_NO_WINDOW, &started, &error)) return false;
  CloseHandle(started.hThread);
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  if (exitCode != nullptr) *exitCode = static_cast<int>(code);
  return true;
}

bool startDetached(const std::string& commandLine) {
  return startWatched(commandLine, 0).end != ChildOutcome::End::NotStarted;
}

ChildOutcome startWatched(const std::string& commandLine, int watchMilliseconds) {
  ChildOutcome outcome;
  PROCESS_INFORMATION started{};
  // A process of its own, not in a job: the program does not wait for it,
  // and once the watch is over no handle to it is kept, so nothing of it
  // stays behind.
  if (!start(commandLine, CREATE_NEW_PROCESS_GROUP | DETACHED_PROCESS, &started, &outcome.error)) {
    return outcome;
  }
  CloseHandle(started.hThread);
  if (WaitForSingleObject(started.hProcess, static_cast<DWORD>(std::max(watchMilliseconds, 0))) ==
      WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    GetExitCodeProcess(started.hProcess, &exitCode);
    outcome = endedOutcome(exitCode);
  } else {
    outcome.end = ChildOutcome::End::Running;
  }
  CloseHandle(started.hProcess);
  return outcome;
}

// Every handle the program makes is created not inheritable, and no start
// passes handles on: there is nothing to mark.
void markDescriptorsCloseOnExec() {}

}  // namespace platform
