// Process start and shell "open" for tests: record what would be started.
#ifndef TESSAVO_TESTS_VIEWERS_RECORDING_STARTERS_H_
#define TESSAVO_TESTS_VIEWERS_RECORDING_STARTERS_H_

#include <string>
#include <vector>

#include "viewers/process_starter.h"

class RecordingProcessStarter : public ProcessStarter {
 public:
  std::vector<std::string> started;
  bool result = true;
  bool start(const std::string& commandLine) override {
    started.push_back(commandLine);
    return result;
  }
};

class RecordingShellOpener : public ShellOpener {
 public:
  std::vector<std::string> opened;
  bool open(const std::string& location) override {
    opened.push_back(location);
    return true;
  }
};

#endif  // TESSAVO_TESTS_VIEWERS_RECORDING_STARTERS_H_
