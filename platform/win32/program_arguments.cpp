#include "platform/program_arguments.h"

#include <windows.h>

#include "platform/command_line.h"

namespace platform {

// The command line as the ANSI text the process was started with, split by
// the C runtime's rules (the same rules the program starts others by).
std::vector<std::string> programArguments() {
  const char* line = GetCommandLineA();
  if (line == nullptr) return {};
  std::vector<std::string> arguments = splitCommandLine(line);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

}  // namespace platform
