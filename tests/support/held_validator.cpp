#include "tests/support/held_validator.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "tests/support/file_contents.h"

namespace test_support {

HeldValidator::HeldValidator(const std::string& folder, int passed, const std::string& then)
    : path_(folder + "held-validator"), release_(path_ + ".release") {
  hold();
  std::error_code ignored;
  std::filesystem::remove(path_ + ".pid", ignored);
  std::filesystem::remove(path_ + ".count", ignored);
  // 3000 pauses of 20 ms: the minute after which an orphan gives up.
  std::string script =
      "#!/bin/sh\n"
      "echo $$ > \"$0.pid\"\n"
      "runs=$(cat \"$0.count\" 2>/dev/null || echo 0)\n"
      "echo $((runs + 1)) > \"$0.count\"\n"
      "n=0\n"
      "if [ \"$runs\" -ge " +
      std::to_string(passed) +
      " ]; then\n"
      "  while [ ! -e \"$0.release\" ] && [ $n -lt 3000 ]; do sleep 0.02; n=$((n + 1)); done\n"
      "fi\n";
  // The program to go on to is read from a file beside the script, so that
  // its path is never quoted into shell text either.
  std::filesystem::remove(path_ + ".then", ignored);
  if (!then.empty()) {
    writeFile(path_ + ".then", then);
    script += "exec \"$(cat \"$0.then\")\" \"$@\"\n";
  }
  writeFile(path_, script);
  ::chmod(path_.c_str(), 0755);
}

int HeldValidator::latestRun() const {
  const std::string pid = readFile(path_ + ".pid");
  return pid.empty() ? 0 : std::atoi(pid.c_str());
}

void HeldValidator::hold() {
  std::error_code ignored;
  std::filesystem::remove(release_, ignored);
}

void HeldValidator::release() {
  writeFile(release_, "");
}

}  // namespace test_support
