// Turns the HTML5 checker's JSON answer into the lines of a target's report,
// in the form the SGML validator's lines have, so that everything after
// the pane treats both alike:
//
//   LINE:COLUMN:E: text   an "error"
//   LINE:COLUMN:W: text   an "info" whose subType is "warning"
//   LINE:COLUMN:I: text   any other "info"
//   E: text               a "non-document-error" (the checker could not
//                         read the document); the target was not checked
//
// LINE is the message's lastLine, or its firstLine when only that is given.
// COLUMN counts as the SGML validator's does, from 0: the checker's
// lastColumn (firstColumn when only that is given) less one, so that the
// gnu and json formats, which count from 1, show the checker's own column.
// A message without a line has no position ("W: text"). Messages keep the
// checker's order and texts; a line end in a text becomes a blank, and the
// UTF-8 text is converted into the program's code page ("〓" for what it
// cannot hold).
//
// A pure function over the answer; one ValidatorText per thread.
#ifndef TESSAVO_ENGINE_HTML5_MESSAGES_H_
#define TESSAVO_ENGINE_HTML5_MESSAGES_H_

#include <string>
#include <vector>

#include "engine/target_report.h"
#include "platform/validator_text.h"

struct Html5Listing {
  bool readable = false;          // the answer is the checker's JSON
  bool nonDocumentError = false;  // the checker could not check the document
};

// Appends the answer's messages to `lines`.
Html5Listing listHtml5Messages(const std::string& answer, std::vector<ReportLine>& lines,
                               platform::ValidatorText& converter);

#endif  // TESSAVO_ENGINE_HTML5_MESSAGES_H_
