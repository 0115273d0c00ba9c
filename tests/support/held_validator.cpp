#include "tests/support/held_validator.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "tests/support/file_contents.h"

namespace test_support {

HeldValidator::HeldValidator(const std::string& folder)
    : path_(folder + "held-validator"), release_(path_ + ".release") {
  hold();
  // 3000 pauses of 20 ms: the minute after which an orphan gives up.
  writeFile(
      path_,
      "#!/bin/sh\n"
      "n=0\n"
      "while [ ! -e \"$0.release\" ] && [ $n -lt 3000 ]; do sleep 0.02; n=$((n + 1)); done\n");
  ::chmod(path_.c_str(), 0755);
}

void HeldValidator::hold() {
  std::error_code ignored;
  std::filesystem::remove(release_, ignored);
}

void HeldValidator::release() {
  writeFile(release_, "");
}

}  // namespace test_support
