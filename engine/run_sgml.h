// The check run: the body of the checking thread.
//
// Given a CheckJob (the argument of start()), RunSgml clears the error pane
// and takes the job's targets in order. For each it writes the header line
// "-------- <location>", has prepareInput() put the document, converted to
// EUC-JP, into the intermediate file "$conv.sgml" (beside a local document;
// in the temporary folder for an http target, a local path with a host part
// and a document that is itself named "$conv.sgml"), runs the validator on
// it as one child process, deletes the intermediate file and lists the
// validator's error file line by line. A preparation failure becomes one
// "E: " line and the run goes on; a validator that cannot be started ends
// the run. The run ends with "検査終了", deletes its temporary files and
// calls the job's CheckDoneReceiver as its very last action.
//
// Validator command line: the program ("nsgmls", or "onsgmls" when only that
// is on PATH, or the job's validatorPath in double quotes) followed by
// ` -c"<catalog>" -f"<error file>" -s "<intermediate file>"`; the catalog is
// "catalog" in the program's data folder (platform::programDataFolder(): beside
// the executable in a build tree), the error file "$error.out" in the
// temporary folder. The error file is removed before every validator run, so
// a validator that writes nothing never shows the previous target's errors.
//
// Error-file lines are shown from after the program name (the first ":" from
// the third byte on), and from after "$conv.sgml:" when they are about the
// intermediate file; their leading decimal number becomes the ErrorItem's
// line. They arrive in EUC-JP and are converted to the program's code page.
//
// Threads: run() executes on the worker and reads the job and its targets
// without a lock; the owner does not change them while isRunning(). The stop
// request is tested before every target and after every validator run.
#ifndef TESSAVO_ENGINE_RUN_SGML_H_
#define TESSAVO_ENGINE_RUN_SGML_H_

#include <string>

#include "engine/check_job.h"
#include "engine/check_target.h"
#include "engine/thread.h"

class RunSgml : public Thread {
 public:
  RunSgml() = default;
  ~RunSgml() override;

  // Puts the target's text, converted to EUC-JP with CR LF line ends, into
  // `intermediate`. An http target is first downloaded into `download` with
  // a connection of its own (user agent "Tessavo/1.30", 30 s per receive).
  // Throws ConvertException with the message to show; `intermediate` is not
  // written unless every earlier step succeeded.
  static void prepareInput(const CheckTarget& target, const std::string& intermediate,
                           const std::string& download);

 protected:
  // `argument` is the CheckJob; returns 0.
  int run(void* argument) override;
};

#endif  // TESSAVO_ENGINE_RUN_SGML_H_
