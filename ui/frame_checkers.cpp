// The main frame's checkers beside the SGML validator: the HTML5 checker,
// kept from run to run, and the message filter, read for every run.
#include <wx/msgdlg.h>

#include "ui/main_frame.h"
#include "ui/wx_text.h"

bool CMainFrame::prepareCheckers() {
  // Read afresh for every run, as the download settings are, so that a
  // change takes effect at the next check; an unchanged checker stays warm.
  const Html5CheckerSettings html5 = html5CheckerSettingsFromProfile();
  if (html5Checker_ == nullptr || html5Checker_->settings() != html5) {
    html5Checker_ = std::make_unique<Html5Checker>(html5);
  }
  messageFilter_ = MessageFilter();
  const std::string patterns = settings_.readString("MessageFilter", "");
  std::string failure;
  if (!patterns.empty() && !messageFilter_.addFile(patterns, &failure)) {
    wxMessageBox(wxString::FromUTF8("メッセージフィルタを使えません。\n") + toWx(failure),
                 "Tessavo", wxOK | wxICON_EXCLAMATION, this);
    return false;
  }
  return true;
}
