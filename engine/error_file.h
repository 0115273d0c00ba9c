// Lists a validator's error file in the error pane, one pane line per line.
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
// program's code page; a line of more than 999 bytes arrives in pieces, each
// a line of its own.
//
// Runs on the checking thread; the pane takes the items.
#ifndef TESSAVO_ENGINE_ERROR_FILE_H_
#define TESSAVO_ENGINE_ERROR_FILE_H_

#include <string>
#include <utility>
#include <vector>

#include "engine/check_target.h"
#include "engine/error_pane.h"
#include "kanji/document_analysis.h"
#include "platform/validator_text.h"

struct ErrorFileNames {
  // The converted copy's path as the validator was given it.
  std::string copy;
  // Pairs of (name given to the validator, real path), both ending with "/".
  std::vector<std::pair<std::string, std::string>> folders;
  // What the validator wrote its lines in.
  platform::ValidatorEncoding encoding = platform::ValidatorEncoding::EucJp;
};

// The number of lines listed, or -1 when the file cannot be opened.
// `analysis` is the document's: the validator's notes on a document without
// a DTD become one plain line (engine/dtd_notice.h).
int listErrorFile(const std::string& errorFile, const ErrorFileNames& names,
                  const kanji::DocumentAnalysis& analysis, CheckTarget* target, ErrorPane& pane,
                  platform::ValidatorText& converter);

#endif  // TESSAVO_ENGINE_ERROR_FILE_H_
