// Finding and starting other programs: the validator's default name, and
// the text editor, browser and help viewer, which are left running.
//
// A command line is one text, split into arguments by the rules of
// platform/command_line.h. The program is the first argument: a name without
// "/" is searched on PATH, a name with "/" is used as it stands (relative to
// the current folder).
//
// Children inherit the caller's environment and current folder, and no
// descriptor but standard input (/dev/null), output and error: the program
// opens everything close-on-exec, and whatever a library opened otherwise is
// closed in the child. Safe to call from any thread.
#ifndef TESSAVO_PLATFORM_PROCESS_H_
#define TESSAVO_PLATFORM_PROCESS_H_

#include <string>

#include "platform/child_process.h"

namespace platform {

// The full path of `program` as it would be started: a name holding "/" comes
// back unchanged if it names an executable file; a bare name is looked up in
// the folders of PATH. Empty when nothing executable is found.
std::string findProgram(const std::string& program);

// The validator to start when none was configured: "nsgmls" if it is on
// PATH, otherwise "onsgmls" (the name Debian gives the same program).
std::string defaultValidatorProgram();

// Starts the command line and waits, without a time limit, for the child to
// end. False when the process cannot be created (empty command line, program
// not found or not executable). `exitCode` (may be null) receives the exit
// status, or 128 + the signal number when the child was killed.
bool runAndWait(const std::string& commandLine, int* exitCode);

// Starts the command line and returns without waiting. The child is adopted
// by init, so no zombie is left whatever the caller does later. False when
// the process cannot be created, as for runAndWait.
bool startDetached(const std::string& commandLine);

// Starts the command line as startDetached does, and watches the program
// for its first `watchMilliseconds`, blocking the caller meanwhile (so not
// on a user-interface thread). The outcome: NotStarted with the errno when
// it cannot be executed (ENOENT for a program that is not found), Exited or
// Signalled when it ended within that time, Running when it still runs; it
// is then left to itself as with startDetached.
ChildOutcome startWatched(const std::string& commandLine, int watchMilliseconds);

// Makes every descriptor above standard error close-on-exec: those a library
// opened without the flag (the toolkit's instance lock and sockets) are no
// longer handed to any program started later.
void markDescriptorsCloseOnExec();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_PROCESS_H_
