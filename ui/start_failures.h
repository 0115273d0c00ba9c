// The message boxes that tell of a program that failed to start (the
// editor, the browser, the desktop's handler for the help page): the
// window's text for what was being done, followed by the reason the
// starter gives ("ブラウザを起動できません: xdg-open: 終了コード 3 (...)").
//
// The starter tells from a thread of its own, seconds after the command;
// report() gives it a StartFailure that carries the reason over to the
// user-interface thread, where the message box is shown over the owner (a
// window) or the application's top window (any other owner).
//
// Owned by the owner; a report that arrives after it is gone is dropped.
// report() is called on the user-interface thread; what it returns may be
// called on any thread.
#ifndef TESSAVO_UI_START_FAILURES_H_
#define TESSAVO_UI_START_FAILURES_H_

#include <memory>
#include <string>

#include "viewers/process_starter.h"

class wxEvtHandler;

class StartFailures {
 public:
  explicit StartFailures(wxEvtHandler* owner);
  ~StartFailures();
  StartFailures(const StartFailures&) = delete;
  StartFailures& operator=(const StartFailures&) = delete;

  // Shows `text` (UTF-8) followed by the reason.
  StartFailure report(const std::string& text);

 private:
  struct Mailbox;
  std::shared_ptr<Mailbox> mailbox_;
};

#endif  // TESSAVO_UI_START_FAILURES_H_
