// The status bar's texts about a check run, in the program's code page:
// while it runs, "検査中 12/205: <location>" (the target being checked, its
// position and the number of targets of the run); when it has ended,
// "検査終了: 205件, エラーあり 37件, 296行" (targets checked, how many of
// them got lines besides their header, and those lines), followed by
// ", 中断" when the user stopped it. Pure functions; any thread.
#ifndef TESSAVO_UI_RUN_STATUS_TEXT_H_
#define TESSAVO_UI_RUN_STATUS_TEXT_H_

#include <cstddef>
#include <string>

#include "ui/err_list_model.h"

std::string runProgressText(const ErrListModel::Progress& progress, std::size_t targetCount);
std::string runSummaryText(const ErrListModel::Progress& progress, bool stopped);

#endif  // TESSAVO_UI_RUN_STATUS_TEXT_H_
