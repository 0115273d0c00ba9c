// The program's arguments as the bytes it was started with.
//
// The toolkit hands its application the arguments as wide strings decoded
// with the locale's character set, which loses the bytes of a file name
// that is not valid there; a path must come back exactly as the shell gave
// it. Any thread.
#ifndef TESSAVO_PLATFORM_PROGRAM_ARGUMENTS_H_
#define TESSAVO_PLATFORM_PROGRAM_ARGUMENTS_H_

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name (/proc/self/cmdline); empty when
// they cannot be read.
std::vector<std::string> programArguments();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_PROGRAM_ARGUMENTS_H_
