// What a check run found out about one target, as a whole: the lines the
// error pane shows after the target's header line, whether the target was
// checked, and how its document was read. The run hands each report to the
// job's CheckObserver, if it has one, so that a reader that is not a pane
// (tessavo-check's machine-readable formats, its exit status) gets the
// results without reading them back out of the pane's text.
//
// Reports are values; the run makes them on its workers and hands them over
// on the checking thread.
#ifndef TESSAVO_ENGINE_TARGET_REPORT_H_
#define TESSAVO_ENGINE_TARGET_REPORT_H_

#include <optional>
#include <string>
#include <vector>

#include "engine/check_target.h"
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
  CheckedBy checkedBy = CheckedBy::Nothing;
  std::vector<ReportLine> lines;  // after the header line, in order
  // The target could not be checked for a reason that lies outside the
  // document: the validator, the temporary folder, or a stop.
  bool incomplete = false;
  // The validator could not be started: no target after this one is checked.
  bool endsRun = false;
};

// Receives a run's reports, on the checking thread, in the order of the
// job's targets: one per target of the job, each right after its lines have
// reached the pane (a report of an unreached target adds nothing to it), all
// before the run's closing line. Lines the run writes about no target (a
// temporary folder that cannot be made) come through runLine, also before
// the closing line. An observer must not block for long: the pane waits.
class CheckObserver {
 public:
  virtual ~CheckObserver() = default;
  virtual void runLine(const std::string& text) = 0;
  virtual void targetReported(const TargetReport& report) = 0;
};

#endif  // TESSAVO_ENGINE_TARGET_REPORT_H_
