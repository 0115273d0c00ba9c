#include "ui/start_failures.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/window.h>

#include <mutex>

#include "ui/wx_text.h"

struct StartFailures::Mailbox {
  std::mutex mutex;
  wxEvtHandler* owner;  // null once the owner is gone
};

StartFailures::StartFailures(wxEvtHandler* owner) : mailbox_(std::make_shared<Mailbox>()) {
  mailbox_->owner = owner;
}

StartFailures::~StartFailures() {
  std::lock_guard<std::mutex> lock(mailbox_->mutex);
  mailbox_->owner = nullptr;
}

StartFailure StartFailures::report(const std::string& text) {
  const wxString designed = wxString::FromUTF8(text);
  return [mailbox = mailbox_, designed](const std::string& reason) {
    const wxString message = designed + toWx(reason);
    // Held while the call is queued, so that the owner cannot go in
    // between; a queued call goes with its owner.
    std::lock_guard<std::mutex> lock(mailbox->mutex);
    wxEvtHandler* owner = mailbox->owner;
    if (owner == nullptr) return;
    owner->CallAfter([owner, message] {
      wxWindow* parent = dynamic_cast<wxWindow*>(owner);
      if (parent == nullptr && wxTheApp != nullptr) parent = wxTheApp->GetTopWindow();
      wxMessageBox(message, "Tessavo", wxOK | wxICON_EXCLAMATION, parent);
    });
  };
}
