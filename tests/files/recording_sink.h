// A target sink that records every call as "file:<path>" or "uri:<text>".
#ifndef TESSAVO_TESTS_FILES_RECORDING_SINK_H_
#define TESSAVO_TESTS_FILES_RECORDING_SINK_H_

#include <string>
#include <vector>

#include "files/target_sink.h"

class RecordingSink : public TargetSink {
 public:
  void AddFile(const std::string& path) override { calls.push_back("file:" + path); }
  void AddUri(const std::string& text) override { calls.push_back("uri:" + text); }
  std::vector<std::string> calls;
};

#endif  // TESSAVO_TESTS_FILES_RECORDING_SINK_H_
