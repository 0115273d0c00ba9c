// Process start and shell "open" for tests: record what would be started.
#ifndef TESSAVO_TESTS_VIEWERS_RECORDING_STARTERS_H_
#define TESSAVO_TESTS_VIEWERS_RECORDING_STARTERS_H_

#include <string>
#include <vector>

#include "viewers/process_starter.h"

class RecordingProcessStarter : public ProcessStarter {
 public:
  std::vector<std::string> started;
  // Told to the caller at once when not empty.
  std::string failure;
  void start(const std::string& commandLine, StartFailure failed) override {
    started.push_back(commandLine);
    if (!failure.empty() && failed) failed(failure);
  }
};

class RecordingShellOpener : public ShellOpener {
 public:
  std::vector<std::string> opened;
  void open(const std::string& location, StartFailure) override { opened.push_back(location); }
};

#endif  // TESSAVO_TESTS_VIEWERS_RECORDING_STARTERS_H_
