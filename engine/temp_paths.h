// The check run's two helpers for temporary files.
#ifndef TESSAVO_ENGINE_TEMP_PATHS_H_
#define TESSAVO_ENGINE_TEMP_PATHS_H_

#include <string>

#include "platform/temp_files.h"

// The per-user private temporary folder, ending with "/" (empty only when
// none can be had; `failure`, which may be null, then says which folder and
// why). Runs make their own folders inside it.
std::string tempDirectory(platform::TempFolderFailure* failure = nullptr);

// A new, empty, uniquely named file in `folder` (ending with "/") whose name
// begins with `prefix`; its full path, or empty when none could be created.
std::string makeTempFileName(const std::string& folder, const std::string& prefix);

#endif  // TESSAVO_ENGINE_TEMP_PATHS_H_
