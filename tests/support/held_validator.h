// A validator stand-in that does not end until the test lets it: a shell
// script that waits for its release file beside it. A test holds a check
// run in its middle for exactly as long as it needs, with no guess at how
// long a sleep must be. The script names its release file from its own path
// ("$0.release"), so no folder name is ever quoted into shell text.
//
// It may let the first runs through at once, and may hand each run, once
// let go, to a program of the test (a real validator, or one that writes
// the error file the test wants), so that a check shows real lines around
// the moment it is held. The script writes the process id of its latest run
// to "$0.pid" and the number of runs begun to "$0.count".
//
// A script left running by a test that died gives up after a minute, so
// that no orphan keeps CTest waiting on the test's output. The object owns
// neither the folder nor the script's process; it releases on destruction.
// One thread at a time.
#ifndef TESSAVO_TESTS_SUPPORT_HELD_VALIDATOR_H_
#define TESSAVO_TESTS_SUPPORT_HELD_VALIDATOR_H_

#include <string>

namespace test_support {

class HeldValidator {
 public:
  // Writes the script "held-validator" into `folder` (ending with "/"),
  // held until release(). Runs after the first `passed` are held; each run
  // goes on to `then` with its arguments when `then` is not empty.
  explicit HeldValidator(const std::string& folder, int passed = 0,
                         const std::string& then = std::string());
  ~HeldValidator() { release(); }
  HeldValidator(const HeldValidator&) = delete;
  HeldValidator& operator=(const HeldValidator&) = delete;

  // The script's path, to be given as the validator.
  const std::string& path() const { return path_; }
  // The process id of the latest run, 0 before the first.
  int latestRun() const;
  // Runs started from now on wait again.
  void hold();
  // Lets every waiting and later run end.
  void release();

 private:
  std::string path_;
  std::string release_;
};

}  // namespace test_support

#endif  // TESSAVO_TESTS_SUPPORT_HELD_VALIDATOR_H_
