// The check run: the body of the checking thread.
//
// Given a CheckJob (the argument of start()), RunSgml clears the error pane
// and takes the job's targets in order. For each it writes the header line
// "-------- <location>", has prepareInput() put the document (kept as UTF-8,
// or converted to EUC-JP) into the intermediate file "$conv.sgml", runs the
// validator on it as the document's ValidatorProfile says
// (engine/validator_invocation.h), deletes the copy and lists the
// validator's error file "$error.out" line by line (engine/error_file.h). A
// preparation failure becomes one "E: " line and the run goes on; a
// validator that cannot be started ends the run. The run ends with
// "検査終了", removes its files and calls the job's CheckDoneReceiver as its
// very last action.
//
// Every run works in a private folder of its own inside the per-user
// temporary folder (platform/run_folder.h), which holds the error file, the
// download file "tvx…" and the copies: two runs at the same time never see
// each other's files, and nothing is ever written beside a document. Each
// run first removes the folders that killed runs left behind.
//
// The validator's outcome is read, not assumed: a validator killed by a
// signal, ended after the job's time limit, or failing without listing
// anything gives an "E: " line after whatever lines it did write, and a
// temporary folder that filled up is reported rather than read as "no
// errors". Such a run is incomplete().
//
// Threads: run() executes on the worker and reads the job and its targets
// without a lock; the owner does not change them while isRunning(). The stop
// request is watched throughout: it ends a running validator within a
// fraction of a second, and the target being checked then gets a line saying
// it was not finished.
#ifndef TESSAVO_ENGINE_RUN_SGML_H_
#define TESSAVO_ENGINE_RUN_SGML_H_

#include <atomic>
#include <string>

#include "engine/check_job.h"
#include "engine/check_target.h"
#include "engine/thread.h"
#include "kanji/document_analysis.h"

class RunSgml : public Thread {
 public:
  RunSgml() = default;
  ~RunSgml() override;

  // Puts the target's text into `intermediate`, which must not exist yet,
  // with CR LF line ends: a UTF-8 document as UTF-8, any other converted to
  // EUC-JP (kanji/validator_copy.h). An http target is first downloaded into
  // `download` with a connection of its own (user agent "Tessavo/1.30", 30 s
  // per receive); `stop` (may be null) abandons it. Returns the document's
  // analysis, which chooses how the validator is run on the copy. Throws
  // ConvertException with the message to show; `intermediate` is not left
  // behind unless the copy was written whole.
  static kanji::DocumentAnalysis prepareInput(const CheckTarget& target,
                                              const std::string& intermediate,
                                              const std::string& download,
                                              const std::atomic<bool>* stop = nullptr);

  // True when the last run left a target unchecked for a reason that lies
  // outside the document: the validator could not be started, failed, was
  // killed or ran out of time, the temporary folder was full or could not be
  // made, or the run was stopped. False while no run has ended.
  bool incomplete() const { return incomplete_.load(); }

 protected:
  // `argument` is the CheckJob; returns 0.
  int run(void* argument) override;

 private:
  std::atomic<bool> incomplete_{false};
};

#endif  // TESSAVO_ENGINE_RUN_SGML_H_
