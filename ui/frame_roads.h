// The window's side of target collection: the roads (files/
// target_collection.h) over the main frame's panes, document and checking
// state, and the status-bar notice while a drop or a hand-over waits for a
// running check. Arrivals also wait, without a notice, while a command of
// the window is under way (in its dialogs and questions).
//
// Owned by the main frame, which it borrows and must not outlive. While
// something waits, a short timer asks again whether the wait is over: the
// end-of-run event comes just before the checking thread is gone, so it
// alone cannot be relied on to find the thread stopped. User-interface
// thread only.
#ifndef TESSAVO_UI_FRAME_ROADS_H_
#define TESSAVO_UI_FRAME_ROADS_H_

#include <wx/event.h>
#include <wx/timer.h>

#include <string>

#include "files/target_collection.h"

class CMainFrame;

class FrameRoads : public wxEvtHandler, public CollectionHost {
 public:
  explicit FrameRoads(CMainFrame* frame);
  ~FrameRoads() override;

  TargetCollection& roads() { return collection_; }

  // CollectionHost.
  void AddFile(const std::string& path) override;
  void AddUri(const std::string& text) override;
  void clearFilePane() override;
  void clearErrorPane() override;
  void setModified(bool modified) override;
  bool dropStart() const override;
  void startCheckAll() override;
  bool isChecking() const override;
  bool newWorkingSet() override;
  void openWorkingSet(const std::string& path) override;
  void showWaiting(std::size_t count) override;

 private:
  void onPoll(wxTimerEvent& event);
  // A check runs, or its end has not been shown yet.
  bool checkUnderWay() const;

  CMainFrame* frame_;  // not owned
  TargetCollection collection_;
  wxTimer poll_;
};

#endif  // TESSAVO_UI_FRAME_ROADS_H_
