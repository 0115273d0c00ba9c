// The status bar's text while a check runs, in the program's code page:
// "検査中 12/205: <location>" (the target being checked, its position and
// the number of targets of the run). Once it has ended the bar shows the
// run's summary (engine/run_summary.h). A pure function; any thread.
#ifndef TESSAVO_UI_RUN_STATUS_TEXT_H_
#define TESSAVO_UI_RUN_STATUS_TEXT_H_

#include <cstddef>
#include <string>

#include "ui/err_list_model.h"

std::string runProgressText(const ErrListModel::Progress& progress, std::size_t targetCount);

#endif  // TESSAVO_UI_RUN_STATUS_TEXT_H_
