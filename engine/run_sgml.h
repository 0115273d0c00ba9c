// The check run: the body of the checking thread.
//
// Given a CheckJob (the argument of start()), RunSgml clears the error pane
// and checks the job's targets, job.jobs of them at once
// (engine/ordered_checks.h), each by a TargetChecker
// (engine/target_checker.h): prepareInput() puts the document (kept as
// UTF-8, or converted to EUC-JP) into the intermediate file "$conv.sgml",
// the validator runs on it as the document's ValidatorProfile says, and its
// error file "$error.out" is listed (engine/error_file.h). The pane gets
// the lines in the targets' order, one target after the other, as a single
// validator at a time would give them: the header line "-------- <location>"
// once the target is taken up and every target before it is listed, then
// its lines once it is checked, read from its validator's error file one at
// a time, so memory stays small whatever their number. A preparation
// failure becomes one "E: " line and the run goes on; a validator that
// cannot be started ends the run. The job's CheckObserver, if any, gets
// each line of a target right after the pane. The run ends with "検査終了", removes its files and
// calls the job's CheckDoneReceiver as its very last action.
//
// Every run works in a private folder of its own inside the per-user
// temporary folder (platform/run_folder.h), and each of its workers in a
// folder inside that, which holds the error file, the download file "tvx…"
// and the copies: runs and workers at the same time never see each other's
// files, and nothing is ever written beside a document. Each run first
// removes the folders that killed runs left behind.
//
// A failure that no document causes (memory ran out) fails the target it
// struck with an "E: " line, or, outside any target, ends the run with one;
// the run's end is the same as ever.
//
// A run that left a target unchecked for a reason outside the document
// (the validator failed, was killed or ran out of time, the temporary
// folder filled up, the run was stopped) is incomplete().
//
// Threads: run() executes on the worker and reads the job and its targets
// without a lock; the owner does not change them while isRunning(). The
// checkers run on threads of their own, which the run ends before it
// returns; only the run's own thread calls the pane and the observer. The
// stop request is watched throughout: it ends every running validator
// within a fraction of a second, and the targets being checked then get a
// line saying they were not finished; targets not yet taken up get nothing.
#ifndef TESSAVO_ENGINE_RUN_SGML_H_
#define TESSAVO_ENGINE_RUN_SGML_H_

#include <atomic>
#include <string>

#include "engine/check_job.h"
#include "engine/check_target.h"
#include "engine/target_report.h"
#include "engine/thread.h"
#include "kanji/document_analysis.h"
#include "platform/validator_text.h"

class RunSgml : public Thread {
 public:
  RunSgml() = default;
  ~RunSgml() override;

  // Puts the target's text into `intermediate`, which must not exist yet,
  // with CR LF line ends: a UTF-8 document as UTF-8, one in UTF-16 or
  // UTF-32 with a byte order mark converted to UTF-8 (kanji/wide_unicode.h),
  // any other converted to EUC-JP (kanji/validator_copy.h). An http target is first downloaded into
  // `download` with a connection of its own (user agent "Tessavo/1.30", 30 s
  // per receive); `stop` (may be null) abandons it, and `contentType` (may
  // be null) receives its Content-Type. Returns the document's analysis,
  // which chooses the checker and how the validator is run on the copy. Throws
  // ConvertException with the message to show; `intermediate` is not left
  // behind unless the copy was written whole.
  static kanji::DocumentAnalysis prepareInput(const CheckTarget& target,
                                              const std::string& intermediate,
                                              const std::string& download,
                                              const std::atomic<bool>* stop = nullptr,
                                              std::string* contentType = nullptr);

  // True when the last run left a target unchecked for a reason that lies
  // outside the document: the validator could not be started, failed, was
  // killed or ran out of time, the temporary folder was full or could not be
  // made, or the run was stopped. False while no run has ended.
  bool incomplete() const { return incomplete_.load(); }

 protected:
  // `argument` is the CheckJob; returns 0.
  int run(void* argument) override;

 private:
  // Gives `report`'s lines (its validator's, read from its error file one
  // at a time, then its own) to the pane and the job's observer.
  void handOver(const CheckJob& job, CheckTarget* target, TargetReport&& report,
                platform::ValidatorText& converter);

  std::atomic<bool> incomplete_{false};
};

#endif  // TESSAVO_ENGINE_RUN_SGML_H_
