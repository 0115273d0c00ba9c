// What a check run found out about one target, as a whole: the lines the
// error pane shows after the target's header line, whether the target was
// checked, and how its document was read. The run hands each report to the
// job's CheckObserver, if it has one, so that a reader that is not a pane
// (tessavo-check's machine-readable formats, its exit status) gets the
// results without reading them back out of the pane's text.
//
// A report does not hold the validator's messages: they stay in its error
// file (validatorLines) until the run hands the report over, and are then
// read and passed on one line at a time, so that a document with millions
// of messages never sits in memory.
//
// Reports are values; the run makes them on its workers and hands them over
// on the checking thread.
#ifndef TESSAVO_ENGINE_TARGET_REPORT_H_
#define TESSAVO_ENGINE_TARGET_REPORT_H_

#include <optional>
#include <string>
#include <vector>

#include "engine/check_target.h"
#include "engine/error_file_names.h"
#include "kanji/document_analysis.h"

struct ReportLine {
  std::string text;  // as the pane shows it, in the program's code page
  // False for the one line that leads to no target: the validator could
  // not be started.
  bool hasItem = true;
  // The line of the line's ErrorItem: -1 for the run's own "E: " lines, the
  // validator's line number for its messages, 0 when they hold none.
  int itemLine = 0;
};

enum class TargetState {
  Checked,     // the validator ran to its end and its messages are all listed
  NotChecked,  // the document could not be read, fetched, copied or validated
  Stopped,     // the run was stopped before the target was done
};

// Which checker checked a target.
enum class CheckedBy {
  Nothing,        // the target was not read, or no checker got to it
  SgmlValidator,  // the SGML validator, against the document's DTD
  Html5Checker,   // the HTML5 checker
};

struct TargetReport {
  const CheckTarget* target = nullptr;  // not owned; null for a text that gave no target
  std::string location;                 // what the header line shows
  // Whether the run got to the target: a header line was written for it. A
  // run that was stopped or could not go on reports the rest unreached.
  bool reached = false;
  TargetState state = TargetState::NotChecked;
  // Set once the document was read: the encoding and syntax it was
  // validated in.
  std::optional<kanji::DocumentAnalysis> analysis;
  // The validator's error file, whose lines come first after the header
  // line, and how it names the target's files; none when the validator did
  // not run to its end. The run removes the file once it is listed. When a
  // page meant for the HTML5 checker went to the validator, why: it is added
  // to the notice on the missing DTD.
  struct ValidatorLines {
    std::string errorFile;
    ErrorFileNames names;
    std::string html5Unavailable;
  };
  std::optional<ValidatorLines> validatorLines;
  CheckedBy checkedBy = CheckedBy::Nothing;
  std::vector<ReportLine> lines;  // the run's own lines, after the validator's
  // The target could not be checked for a reason that lies outside the
  // document: the validator, the temporary folder, or a stop.
  bool incomplete = false;
  // The validator could not be started: no target after this one is checked.
  bool endsRun = false;
};

// Receives a run's reports, on the checking thread, in the order of the
// job's targets: for each target of the job targetBegun, then targetLine for
// each of its lines (the validator's, then the run's own) right after the
// line reached the pane, then targetEnded; a target the run did not get to
// (reached false) has no lines and adds nothing to the pane. All come before
// the run's closing line. The report given to targetBegun and targetEnded
// holds everything but the lines. Lines the run writes about no target (a
// temporary folder that cannot be made, memory that ran out) come through
// runLine, also before the closing line. An observer must not block for
// long: the pane waits.
class CheckObserver {
 public:
  virtual ~CheckObserver() = default;
  virtual void runLine(const std::string& text) = 0;
  virtual void targetBegun(const TargetReport& report) = 0;
  virtual void targetLine(const ReportLine& line) = 0;
  virtual void targetEnded(const TargetReport& report) = 0;
};

#endif  // TESSAVO_ENGINE_TARGET_REPORT_H_
