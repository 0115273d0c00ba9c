// The main window's status bar: the message field and the four key
// indicators ("ｶﾅ", "CAP", "NUM", "SCRL").
//
// The message field shows, from the most to the least pressing:
//  - the prompt of the highlighted menu entry (or of a keyboard mode);
//  - the notice that arrivals (drops, handed-over files) wait for the
//    running check and will then replace the working set;
//  - the resting text: "ﾚﾃﾞｨ" when the window is idle, a run's progress
//    while it runs, and its summary once it has ended, until the user next
//    opens a menu (when that menu closes, "ﾚﾃﾞｨ" is back).
//
// Owned by the main frame; the bar itself is the frame's child window. A
// timer polls the lock keys, which the toolkit does not report as events.
// User-interface thread only.
#ifndef TESSAVO_UI_STATUS_LINE_H_
#define TESSAVO_UI_STATUS_LINE_H_

#include <wx/event.h>
#include <wx/timer.h>

#include <cstddef>

class wxFrame;

class StatusLine : public wxEvtHandler {
 public:
  // Creates the frame's status bar with its five fields.
  explicit StatusLine(wxFrame* frame);
  ~StatusLine() override;

  // The resting texts.
  void showReady();
  void showResting(const wxString& text);

  // A menu entry's prompt while it is highlighted (empty for an entry
  // without one); endPrompt when the menu closes.
  void showPrompt(const wxString& prompt);
  void endPrompt();

  // `count` arrivals wait for the running check; 0 when none waits.
  void showWaiting(std::size_t count);

  // The text of the message field now.
  wxString message() const;

  static wxString readyText();
  static wxString waitingText(std::size_t count);

 private:
  void refresh();
  void onIndicatorTimer(wxTimerEvent& event);

  wxFrame* frame_;  // not owned
  wxTimer indicatorTimer_;
  wxString resting_;
  wxString prompt_;
  bool prompting_ = false;
  std::size_t waiting_ = 0;
};

#endif  // TESSAVO_UI_STATUS_LINE_H_
