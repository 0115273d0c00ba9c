#include "platform/program_arguments.h"

#include <fstream>
#include <iterator>

namespace platform {

std::vector<std::string> programArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> arguments;
  // NUL-terminated strings, the program's name first.
  std::string::size_type start = all.find('\0');
  while (start != std::string::npos && start + 1 < all.size()) {
    const std::string::size_type end = all.find('\0', start + 1);
    arguments.push_back(all.substr(start + 1, end == std::string::npos ? end : end - start - 1));
    start = end;
  }
  return arguments;
}

}  // namespace platform
