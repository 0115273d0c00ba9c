#include "engine/temp_paths.h"

std::string tempDirectory(platform::TempFolderFailure* failure) {
  return platform::tempFolder(failure);
}

std::string makeTempFileName(const std::string& folder, const std::string& prefix) {
  return platform::createUniqueFile(folder, prefix);
}
