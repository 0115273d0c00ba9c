// Starting a Win32 process: the one place CreateProcessA is called, for
// the validator (child_process) and for the programs the window starts
// (process). Internal to platform/win32/.
//
// Handle inheritance is off for every start: the child gets none of the
// program's files, sockets or pipes, whatever they are, which is the
// descriptor rule of the POSIX build.
#ifndef TESSAVO_PLATFORM_WIN32_PROCESS_START_H_
#define TESSAVO_PLATFORM_WIN32_PROCESS_START_H_

#include <windows.h>

#include <string>
#include <vector>

namespace platform {

// The command line that gives `arguments` back to a C runtime that splits
// it, double-byte characters of the ANSI code page kept whole (a trail byte
// 0x5C is no backslash). The first argument is the program's name.
std::string commandLineFor(const std::vector<std::string>& arguments);

// Starts `program` (a full path) with `commandLine`, in `folder` (empty:
// the caller's), with `environment` ("NAME=value" texts; null: the
// caller's). `flags` go to CreateProcessA as they are. False with an errno
// value in `error` when the process cannot be created.
bool createChildProcess(const std::string& program, const std::string& commandLine,
                        const std::vector<std::string>* environment, const std::string& folder,
                        DWORD flags, PROCESS_INFORMATION* started, int* error);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_WIN32_PROCESS_START_H_
