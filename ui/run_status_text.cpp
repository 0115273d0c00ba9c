#include "ui/run_status_text.h"

#include "platform/local_text.h"

std::string runProgressText(const ErrListModel::Progress& progress, std::size_t targetCount) {
  return platform::localText("検査中 ") + std::to_string(progress.targets) + "/" +
         std::to_string(targetCount) + ": " + progress.location;
}

std::string runSummaryText(const ErrListModel::Progress& progress, bool stopped) {
  std::string text = platform::localText("検査終了: ") + std::to_string(progress.targets) +
                     platform::localText("件, エラーあり ") +
                     std::to_string(progress.targetsWithLines) + platform::localText("件, ") +
                     std::to_string(progress.lines) + platform::localText("行");
  if (stopped) text += platform::localText(", 中断");
  return text;
}
