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

// The private message that announces the end of a run (WM_USER + 52). The
// window keeps it as the id of the event it queues for itself.
constexpr int WM_CHECK_DONE = 0x434;

// The setting "ValidatorTimeout" when it is absent, in seconds.
constexpr int kDefaultValidatorTimeout = 120;

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
};

#endif  // TESSAVO_ENGINE_CHECK_JOB_H_
