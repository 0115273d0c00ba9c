// tessavo-check's output formats other than the error pane's text: each
// takes the run's reports (engine/target_report.h), target by target in the
// order they are checked, and writes them to the output line by line as
// they come, holding none of them.
//
//   gnu   one line per message, as compilers write them, for editors and CI:
//           FILE:LINE:COLUMN: error|warning|info: MESSAGE
//         FILE is the target's own path or URI as given, COLUMN counts
//         characters from 1 (the validator counts from 0); a message without
//         a position in the document gets "FILE: error: MESSAGE", one about
//         another file (a DTD) "FILE: warning: OTHER:LINE:COLUMN: MESSAGE".
//         A line the run wrote about no target starts with "tessavo-check: ".
//         Control characters are escaped (tools/control_escape.h), as in
//         the text format.
//   json  one JSON document: {"targets": [...], "runMessages": [...],
//         "summary": {...}, "exitStatus": N}, each target with its
//         location, kind, state ("checked", "could not check", "stopped"),
//         reached (false for a target the run never got to, which the
//         summary counts in notReached only), how its document was read (encoding, encodingReason,
//         validatorEncoding, validator "SGML" or "XML", dtd; null when it
//         was not read) and its messages (line, and column from 1, null
//         without a position; type "error", "warning" or "info"; kind, the
//         validator's letter; text; file, for another file).
//
// The text format is the error pane's lines themselves (tools/console_pane.h)
// and has no ReportFormat. A format is called on one thread at a time.
#ifndef TESSAVO_TOOLS_REPORT_FORMAT_H_
#define TESSAVO_TOOLS_REPORT_FORMAT_H_

#include <cstdio>
#include <memory>
#include <string>

#include "engine/target_report.h"
#include "tools/run_tally.h"

enum class OutputFormat { Text, Gnu, Json };

class ReportFormat {
 public:
  virtual ~ReportFormat() = default;
  // A target: its report without the lines, each line, its end.
  virtual void targetBegun(const TargetReport& report) = 0;
  virtual void targetLine(const std::string& text) = 0;
  virtual void targetEnded() = 0;
  virtual void runLine(const std::string& text) = 0;
  // After the last report; `tally` holds them all.
  virtual void end(const RunTally& tally) = 0;
};

// Null for the text format. `output` is not owned; the end of every target
// and of the run flushes it.
std::unique_ptr<ReportFormat> makeReportFormat(OutputFormat format, std::FILE* output);
std::unique_ptr<ReportFormat> makeGnuFormat(std::FILE* output);
std::unique_ptr<ReportFormat> makeJsonFormat(std::FILE* output);

#endif  // TESSAVO_TOOLS_REPORT_FORMAT_H_
