// Where targets go when they are collected: the file pane in the window, a
// plain list in the headless checker and in tests. Loading a working-set file
// and scanning a folder both end in these two calls.
#ifndef TESSAVO_FILES_TARGET_SINK_H_
#define TESSAVO_FILES_TARGET_SINK_H_

#include <string>

class TargetSink {
 public:
  virtual ~TargetSink() = default;
  // A local path, exactly as found or given.
  virtual void AddFile(const std::string& path) = 0;
  // A URI text as typed or stored.
  virtual void AddUri(const std::string& text) = 0;
};

#endif  // TESSAVO_FILES_TARGET_SINK_H_
