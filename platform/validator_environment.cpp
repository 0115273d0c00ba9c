#include "platform/validator_environment.h"

extern char** environ;

namespace platform {
namespace {

bool names(const char* entry, const char* name) {
  for (; *name != '\0'; ++entry, ++name) {
    if (*entry != *name) return false;
  }
  return *entry == '=';
}

}  // namespace

std::vector<std::string> validatorEnvironment(const std::string& encoding) {
  std::vector<std::string> environment;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    if (names(*entry, "SP_CHARSET_FIXED") || names(*entry, "SP_ENCODING") ||
        names(*entry, "SP_BCTF")) {
      continue;
    }
    environment.emplace_back(*entry);
  }
  environment.emplace_back("SP_CHARSET_FIXED=YES");
  environment.push_back("SP_ENCODING=" + encoding);
  return environment;
}

}  // namespace platform
