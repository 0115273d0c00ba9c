// What the main frame hands to the checking thread when a check starts.
//
// There is one CheckJob per main frame, refilled for every start and never
// while the thread runs; the thread reads it without copying for the whole
// run. The target pointers are borrowed from the file pane, which keeps every
// command that could free them disabled while a check runs.
#ifndef TESSAVO_ENGINE_CHECK_JOB_H_
#define TESSAVO_ENGINE_CHECK_JOB_H_

#include <string>
#include <vector>

#include "engine/check_target.h"
#include "engine/error_pane.h"
#include "engine/target_report.h"

class Html5Checker;
class MessageFilter;

// The private message that announces the end of a run (WM_USER + 52). The
// window keeps it as the id of the event it queues for itself.
constexpr int WM_CHECK_DONE = 0x434;

// The setting "ValidatorTimeout" when it is absent, in seconds.
constexpr int kDefaultValidatorTimeout = 120;

// A maximum number of errors that leaves the validator's own limit (its -E
// option is not given).
constexpr int kValidatorsOwnMaxErrors = -1;

// The number of targets checked at once when nothing else is said ("Jobs",
// tessavo-check's --jobs): one per processor core, at least one.
int defaultCheckJobs();

// The most validators one run starts at once: more would only make the
// machine wait on itself.
constexpr int kMaxCheckJobs = 256;

// Receives the end-of-run notice. Called once per run on the checking
// thread, as its very last action; the receiver must only queue the notice
// for its own thread, never handle it in place.
class CheckDoneReceiver {
 public:
  virtual ~CheckDoneReceiver() = default;
  virtual void postCheckDone() = 0;
};

struct CheckJob {
  CheckDoneReceiver* mainWindow = nullptr;  // not owned
  ErrorPane* errorPane = nullptr;           // not owned
  std::vector<CheckTarget*> targets;        // not owned, in checking order
  // The validator executable; empty means "nsgmls" (then "onsgmls") found on
  // the program search path.
  std::string validatorPath;
  // Seconds one validator run may take before it is ended ("ValidatorTimeout");
  // 0 means no limit, and a negative value counts as the default.
  int validatorTimeout = kDefaultValidatorTimeout;
  // Validators that run at once, each on a target of its own ("Jobs"); a
  // value below 1 counts as 1. The lines reach the pane in the targets'
  // order whatever the number.
  int jobs = 1;
  // Errors after which the validator gives up on a document (its -E
  // option; 0 means no limit), or kValidatorsOwnMaxErrors ("MaxErrors").
  int maxErrors = kValidatorsOwnMaxErrors;
  // Receives a report per target, besides the pane; may be null. Not owned.
  CheckObserver* observer = nullptr;
  // The HTML5 checker for pages without a DTD; null sends them to the SGML
  // validator. Not owned: the window keeps it from run to run.
  Html5Checker* html5Checker = nullptr;
  // Drops the checkers' messages it matches; may be null. Not owned.
  const MessageFilter* messageFilter = nullptr;
};

#endif  // TESSAVO_ENGINE_CHECK_JOB_H_
