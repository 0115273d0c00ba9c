// Lists a validator's error file in a target's report, one line per line.
//
// Each line is shown from after the program name (the first ":" from the
// third byte on, so a drive letter's colon is passed over), and, when it is
// about the converted copy, from after the copy's path as the validator was
// given it and one further byte (the ":"). A line that starts with a name
// the run gave the validator for a folder in place of its real path (a link
// in the run folder, for paths the validator could not take whole) shows the
// real path instead. The leading decimal number of the shown text becomes
// the ErrorItem's line (0 when there is none). Lines arrive in the encoding
// of the copy (the validator's SP_ENCODING) and are converted to the
// program's code page. Each line is read whole, however long.
//
// Runs on the thread that checks the target.
#ifndef TESSAVO_ENGINE_ERROR_FILE_H_
#define TESSAVO_ENGINE_ERROR_FILE_H_

#include <functional>
#include <string>

#include "engine/error_file_names.h"
#include "engine/target_report.h"
#include "kanji/document_analysis.h"
#include "platform/validator_text.h"

// Gives the lines to `give` one at a time, as they are read, so that a file
// of any size is listed in little memory. Returns the number of lines the
// file held (what the validator wrote, whatever the notice below adds or
// folds), or -1 when the file cannot be opened. `analysis` is the
// document's: a document without a DTD gets one plain line about it in
// place of the validator's notes (engine/dtd_notice.h).
long listErrorFile(const std::string& errorFile, const ErrorFileNames& names,
                   const kanji::DocumentAnalysis& analysis,
                   const std::function<void(ReportLine&& line)>& give,
                   platform::ValidatorText& converter);

#endif  // TESSAVO_ENGINE_ERROR_FILE_H_
