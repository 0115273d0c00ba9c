// Command lines as one text, the form the program's settings and its own
// commands use: splitting one into arguments, and quoting an argument so
// that it comes back whole.
//
// The rules are the Windows C runtime's, so that the quoting a user writes in
// the "Editor" setting means the same thing on every platform. This is the
// one place where they live. As the runtime does, they step over whole
// characters of the program's code page: the trail byte 0x5C of a CP932
// character ("表") is no backslash. Pure functions; any thread.
#ifndef TESSAVO_PLATFORM_COMMAND_LINE_H_
#define TESSAVO_PLATFORM_COMMAND_LINE_H_

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

// `argument` written so that splitCommandLine gives it back as one argument
// (other than the program), byte for byte: unchanged when it is not empty
// and holds no blank, tab or double quote; otherwise in double quotes around
// quotedArgumentText(argument).
std::string quoteArgument(const std::string& argument);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_COMMAND_LINE_H_
