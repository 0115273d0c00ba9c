// Starting other programs: the validator (waited for) and the text editor
// (left running).
//
// A command line is one text, as the program builds it; it is split into
// arguments by the Windows C runtime's rules (splitCommandLine), so that the
// quoting the program writes means the same thing on every platform. The
// program is the first argument: a name without "/" is searched on PATH, a
// name with "/" is used as it stands (relative to the current folder).
//
// The child inherits the caller's environment and current folder; its
// standard input, output and error are /dev/null (the validator writes its
// messages into the file named by -f). Safe to call from any thread.
#ifndef TESSAVO_PLATFORM_PROCESS_H_
#define TESSAVO_PLATFORM_PROCESS_H_

#include <string>
#include <vector>

namespace platform {

// Splits a command line into arguments as the Windows C runtime does:
//  - the first argument (the program) runs to the next blank or tab, or, when
//    it starts with a double quote, to the next double quote; backslashes in
//    it are plain characters;
//  - in every further argument blanks and tabs separate outside quotes and
//    double quotes group; 2n backslashes followed by a quote give n
//    backslashes and the quote opens or closes a group; 2n+1 backslashes
//    followed by a quote give n backslashes and a literal quote; backslashes
//    not followed by a quote are literal; "" inside a group gives a literal
//    quote and the group goes on.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// The text to write between two double quotes so that splitCommandLine
// gives `argument` back unchanged: each double quote is preceded by a
// backslash, and backslashes that come before a double quote or the closing
// quote are doubled. Texts without double quotes and without a trailing
// backslash, which is every Windows path, come back as they are.
std::string quotedArgumentText(const std::string& argument);

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

}  // namespace platform

#endif  // TESSAVO_PLATFORM_PROCESS_H_
