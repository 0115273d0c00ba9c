#include "ui/frame_roads.h"

#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"

namespace {

constexpr int kPollMs = 100;

}  // namespace

wxString waitingText(std::size_t count) {
  return wxString::Format(wxString::FromUTF8("検査中です。終了後に、受け取った %u 件を追加します"),
                          static_cast<unsigned>(count));
}

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
  return frame_->isChecking();
}

void FrameRoads::newWorkingSet() {
  if (TessavoDoc* document = frame_->document()) {
    document->OnNewDocument();
    return;
  }
  clearFilePane();
  clearErrorPane();
}

void FrameRoads::openWorkingSet(const std::string& path) {
  TessavoDoc* document = frame_->document();
  if (document == nullptr || !document->OnSaveModified()) return;
  if (document->OnOpenDocument(toWx(path)) && frame_->GetDocumentManager() != nullptr) {
    frame_->GetDocumentManager()->AddFileToHistory(toWx(path));
  }
}

void FrameRoads::showWaiting(std::size_t count) {
  if (count > 0) {
    frame_->SetStatusText(waitingText(count), 0);
    waitingShown_ = true;
    if (!poll_.IsRunning()) poll_.Start(kPollMs);
    return;
  }
  poll_.Stop();
  if (waitingShown_) frame_->SetStatusText(wxString::FromUTF8("ﾚﾃﾞｨ"), 0);
  waitingShown_ = false;
}

void FrameRoads::onPoll(wxTimerEvent& /*event*/) {
  if (!frame_->isChecking()) collection_.runEnded();
}
