// The stand-in validator (standin_validator.cpp) as the Windows tests use
// it: a copy under a name of the test's own, its script beside it, and
// what its runs recorded. The object owns nothing; the test's folder holds
// the files.
#ifndef TESSAVO_TESTS_WINDOWS_STANDIN_H_
#define TESSAVO_TESTS_WINDOWS_STANDIN_H_

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/executable_path.h"
#include "tests/support/bounded_wait.h"

class Standin {
 public:
  // Copies the stand-in built beside the test program to `folder` + `name`
  // + ".exe", with `script` (orders, one a line) beside it.
  Standin(const std::string& folder, const std::string& name, const std::string& script)
      : base_(folder + name) {
    const std::string self = platform::executablePath();
    const std::string built =
        self.substr(0, self.find_last_of("\\/") + 1) + "standin_validator.exe";
    EXPECT_TRUE(CopyFileA(built.c_str(), path().c_str(), FALSE)) << built << " " << GetLastError();
    std::ofstream(base_ + ".script", std::ios::binary) << script;
  }

  std::string path() const { return base_ + ".exe"; }
  // What the runs recorded: per run its command line, SP_ENCODING and
  // current folder, a line each.
  std::string log() const { return contents(base_ + ".log"); }
  // Waits until a run has begun.
  void waitForRun() const {
    test_support::waitUntil([this] { return !log().empty(); }, "the stand-in validator to start");
  }
  // The port a "listen" order wrote, empty before.
  std::string port() const { return contents(base_ + ".port"); }
  // The process id of the hanging child a "spawn" order started, 0 if none.
  unsigned long childProcess() const { return std::stoul("0" + contents(base_ + ".child")); }

  static bool isRunning(unsigned long processId) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
  }

 private:
  static std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string base_;
};

#endif  // TESSAVO_TESTS_WINDOWS_STANDIN_H_
