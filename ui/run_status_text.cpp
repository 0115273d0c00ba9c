#include "ui/run_status_text.h"

#include "platform/local_text.h"

std::string runProgressText(const ErrListModel::Progress& progress, std::size_t targetCount) {
  return platform::localText("検査中 ") + std::to_string(progress.targets) + "/" +
         std::to_string(targetCount) + ": " + progress.location;
}
