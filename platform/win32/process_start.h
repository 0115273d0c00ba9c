// Starting a Win32 process: the one place CreateProcessA is called, for
// the validator (child_process), the HTML5 checker's service
// (service_process) and the programs the window starts (process). Internal
// to platform/win32/.
//
// Handle inheritance is off for every start: the child gets none of the
// program's files, sockets or pipes, whatever they are, which is the
// descriptor rule of the POSIX build.
#ifndef TESSAVO_PLATFORM_WIN32_PROCESS_START_H_
#define TESSAVO_PLATFORM_WIN32_PROCESS_START_H_

#include <windows.h>

#include <string>
#include <vector>

#include "platform/child_process.h"

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

// A job whose processes all end when its last handle closes: when this
// program is killed, the children in it and whatever they started go with
// it. A process of the job that crashes ends at once with its exception
// code, never held by a crash dialog. Null when the system gives none.
HANDLE newKillOnCloseJob();

// Starts `launch` without a console window, so that no window opens and no
// Ctrl+C of the user's console reaches it (the program ends it), in `job`
// (may be null): suspended until it is in the job, so that nothing it
// starts escapes. `*inJob` says whether it went in (a system that has no
// nested jobs refuses when this program is in a job already). False with
// an errno value in `error` when the process cannot be created.
bool startInJob(const ChildLaunch& launch, HANDLE job, PROCESS_INFORMATION* started, bool* inJob,
                int* error);

// How a process that ended with `exitCode` ended: an exit code in the
// NTSTATUS error range is a crash (0xC0000005, an access violation), the
// Windows counterpart of a fatal signal, and is Signalled; any other is
// Exited.
ChildOutcome endedOutcome(DWORD exitCode);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_WIN32_PROCESS_START_H_
