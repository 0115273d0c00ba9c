// The full path of the running program, as the process was started from it.
#ifndef TESSAVO_PLATFORM_EXECUTABLE_PATH_H_
#define TESSAVO_PLATFORM_EXECUTABLE_PATH_H_

#include <string>

namespace platform {

// The path of the running executable (/proc/self/exe, links resolved); empty
// when it cannot be read.
std::string executablePath();

}  // namespace platform

#endif  // TESSAVO_PLATFORM_EXECUTABLE_PATH_H_
