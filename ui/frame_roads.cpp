#include "ui/frame_roads.h"

#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/status_line.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"

namespace {

constexpr int kPollMs = 100;

}  // namespace

FrameRoads::FrameRoads(CMainFrame* frame) : frame_(frame), collection_(*this), poll_(this) {
  Bind(wxEVT_TIMER, &FrameRoads::onPoll, this, poll_.GetId());
}

FrameRoads::~FrameRoads() {
  poll_.Stop();
}

void FrameRoads::AddFile(const std::string& path) {
  frame_->filePane()->AddFile(path);
}

void FrameRoads::AddUri(const std::string& text) {
  frame_->filePane()->AddUri(text);
}

void FrameRoads::clearFilePane() {
  frame_->filePane()->ClearLines();
}

void FrameRoads::clearErrorPane() {
  frame_->errorPane()->ClearLines();
}

void FrameRoads::setModified(bool modified) {
  if (TessavoDoc* document = frame_->document()) document->SetModifiedFlag(modified);
}

bool FrameRoads::dropStart() const {
  return frame_->dropStart();
}

void FrameRoads::startCheckAll() {
  frame_->StartCheck(CMainFrame::CheckScope::All);
}

bool FrameRoads::isChecking() const {
  // Arrivals wait for the end-of-run event as well as for the thread: the
  // event shows the run's summary, and a set replaced before it would leave
  // the summary of an emptied pane behind. They also wait for a command
  // under way: Open, waiting in its file dialog, would otherwise empty the
  // panes under a check that a hand-over started meanwhile.
  return checkUnderWay() || frame_->commandRunning();
}

bool FrameRoads::checkUnderWay() const {
  return frame_->isChecking() || frame_->runEndPending();
}

bool FrameRoads::newWorkingSet() {
  TessavoDoc* document = frame_->document();
  if (document == nullptr) {
    clearFilePane();
    clearErrorPane();
    return true;
  }
  if (!document->OnSaveModified()) return false;
  // Only the document's new operation: unlike the New command, it does not
  // bring back the program's own arguments.
  document->OnNewDocument();
  frame_->statusLine().showReady();
  return true;
}

void FrameRoads::openWorkingSet(const std::string& path) {
  TessavoDoc* document = frame_->document();
  if (document == nullptr || !document->OnSaveModified()) return;
  frame_->loadWorkingSet(toWx(path));
}

void FrameRoads::showWaiting(std::size_t count) {
  // The notice speaks of a check; arrivals that wait only for a command's
  // dialog to close come in a moment later without one.
  frame_->statusLine().showWaiting(checkUnderWay() ? count : 0);
  if (count == 0) {
    poll_.Stop();
  } else if (!poll_.IsRunning()) {
    poll_.Start(kPollMs);
  }
}

void FrameRoads::onPoll(wxTimerEvent& /*event*/) {
  if (!isChecking()) collection_.runEnded();
}
