// Checks targets one at a time in a folder of its own: the work of one of a
// check run's workers.
//
// A checker owns a folder inside the run's folder (platform/run_folder.h)
// holding its own copy "$conv.sgml", error file "$error.out" and download
// file "tvx…", and starts the validator there
// (engine/validator_invocation.h), so the checkers of one run never see
// each other's files. check() turns one target into its TargetReport: the
// document prepared (prepareInput), the validator run as the document's
// ValidatorProfile says and its outcome read. The error file is kept under
// a name of its own in the run's folder for the run to list
// (TargetReport::validatorLines).
//
// The validator's outcome is read, not assumed: a validator killed by a
// signal, ended after the job's time limit, or failing without listing
// anything gives an "E: " line after whatever lines it did write, and a
// temporary folder that filled up is reported rather than read as "no
// errors"; an error file cut short by it is not listed at all, since the
// pieces of messages in it would read as messages. A stop request ends a
// running validator or download within a fraction of a second, and the
// target then gets a line saying it was not finished.
//
// A document without a DTD (engine/html5_invocation.h) goes to the job's
// HTML5 checker instead, as its original bytes, when the job has one that
// can be used; otherwise to the SGML validator as before, and the validator's
// notice on it gets the reason appended ("…: java が見つかりません") when the
// run lists the validator's lines.
//
// One thread uses a checker; the run's folder and the job must outlive it.
#ifndef TESSAVO_ENGINE_TARGET_CHECKER_H_
#define TESSAVO_ENGINE_TARGET_CHECKER_H_

#include <atomic>
#include <memory>
#include <string>

#include "engine/check_job.h"
#include "engine/html5_invocation.h"
#include "engine/target_report.h"
#include "engine/validator_invocation.h"
#include "platform/run_folder.h"

class TargetChecker {
 public:
  // Makes the folder `name` inside `run`. A checker whose folder cannot be
  // made reports every target as not checked, saying why.
  TargetChecker(const CheckJob& job, const platform::RunFolder& run, const std::string& name);
  TargetChecker(const TargetChecker&) = delete;
  TargetChecker& operator=(const TargetChecker&) = delete;

  TargetReport check(const CheckTarget& target, const std::atomic<bool>& stop);

 private:
  std::string keptPrefix_;  // in the run's folder: the error files kept for the run
  platform::RunFolder folder_;
  std::string folderFailure_;  // the line for targets when the folder was not made
  std::string copy_;
  std::string errorFile_;
  std::string download_;
  int timeout_;
  std::unique_ptr<ValidatorInvocation> validator_;  // made once the folder exists
  int listedFiles_ = 0;                             // error files kept for the run to list
  Html5Checker* html5Checker_;                      // not owned; may be null
  std::unique_ptr<Html5Invocation> html5_;          // when there is a checker
  platform::ValidatorText converter_;               // for the HTML5 checker's texts
};

#endif  // TESSAVO_ENGINE_TARGET_CHECKER_H_
