#include "engine/temp_paths.h"

#include "platform/temp_files.h"

std::string tempDirectory() {
  return platform::tempFolder();
}

std::string makeTempFileName(const std::string& folder, const std::string& prefix) {
  return platform::createUniqueFile(folder, prefix);
}
