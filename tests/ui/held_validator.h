// A validator stand-in that does not end until the test lets it: a shell
// script that waits for a release file beside it ("<script>.release"), so
// that a check is still running while the test looks at the window or hands
// it something. It may let the first runs through at once, and may hand
// each run to a real validator once released, so that a check shows real
// lines around the moment it is held.
//
// The script writes its process id to "<script>.pid" and the number of runs
// begun to "<script>.count". Owns the script file, not its processes;
// releases on destruction. A script left behind by a test that died gives
// up after a minute. One thread.
#ifndef TESSAVO_TESTS_UI_HELD_VALIDATOR_H_
#define TESSAVO_TESTS_UI_HELD_VALIDATOR_H_

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

class HeldValidator {
 public:
  // `folder` ends with "/". Runs after the first `passed` wait; `then` is a
  // validator program each run goes on to (empty: none, the run writes
  // nothing).
  explicit HeldValidator(const std::string& folder, int passed = 0, const std::string& then = "")
      : path_(folder + "held-validator"), release_(path_ + ".release") {
    std::remove(release_.c_str());
    std::remove((path_ + ".count").c_str());
    std::remove((path_ + ".pid").c_str());
    std::ofstream script(path_, std::ios::trunc);
    script
        << "#!/bin/sh\n"
        << "echo $$ > \"$0.pid\"\n"
        << "n=$(cat \"$0.count\" 2>/dev/null || echo 0)\n"
        << "echo $((n + 1)) > \"$0.count\"\n"
        << "if [ \"$n\" -ge " << passed << " ]; then\n"
        << "  i=0\n"
        << "  while [ ! -e \"$0.release\" ] && [ $i -lt 3000 ]; do sleep 0.02; i=$((i + 1)); done\n"
        << "fi\n";
    if (!then.empty()) script << "exec '" << then << "' \"$@\"\n";
    script.close();
    ::chmod(path_.c_str(), 0755);
  }
  ~HeldValidator() { release(); }
  HeldValidator(const HeldValidator&) = delete;
  HeldValidator& operator=(const HeldValidator&) = delete;

  const std::string& path() const { return path_; }
  // Runs started from now on wait again.
  void hold() { std::remove(release_.c_str()); }
  // Lets every waiting and later run end.
  void release() { std::ofstream(release_).put('\n'); }

 private:
  std::string path_;
  std::string release_;
};

#endif  // TESSAVO_TESTS_UI_HELD_VALIDATOR_H_
