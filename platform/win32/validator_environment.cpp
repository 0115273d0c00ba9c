#include "platform/validator_environment.h"

#include <windows.h>

#include "platform/ascii_case.h"

namespace platform {
namespace {

// Windows compares environment names without regard to case.
bool names(const std::string& entry, const char* name) {
  const std::string::size_type equals = entry.find('=', 1);
  return equals != std::string::npos && equalsIgnoringAsciiCase(entry.substr(0, equals), name);
}

}  // namespace

std::vector<std::string> validatorEnvironment(const std::string& encoding) {
  std::vector<std::string> environment;
  char* block = GetEnvironmentStringsA();
  for (const char* entry = block; entry != nullptr && *entry != '\0';) {
    const std::string text = entry;
    entry += text.size() + 1;
    if (names(text, "SP_CHARSET_FIXED") || names(text, "SP_ENCODING") || names(text, "SP_BCTF")) {
      continue;
    }
    environment.push_back(text);
  }
  if (block != nullptr) FreeEnvironmentStringsA(block);
  environment.emplace_back("SP_CHARSET_FIXED=YES");
  environment.push_back("SP_ENCODING=" + encoding);
  return environment;
}

}  // namespace platform
