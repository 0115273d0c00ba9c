// The URI entry dialog "検査するURI". After OK, `uriText` holds the field's
// text as typed (possibly empty). A text that would give no target (a
// scheme other than http, https and file) is not taken: OK then says why
// in a message box and leaves the dialog open for a correction.
// User-interface thread.
#ifndef TESSAVO_UI_SELECT_URI_DLG_H_
#define TESSAVO_UI_SELECT_URI_DLG_H_

#include <wx/dialog.h>

#include <string>

class wxTextCtrl;

class SelectUriDlg : public wxDialog {
 public:
  static constexpr int IDC_URI = 1019;

  explicit SelectUriDlg(wxWindow* parent);

  std::string uriText;

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

  wxTextCtrl* uriField() const { return uri_; }

 private:
  wxTextCtrl* uri_;
};

#endif  // TESSAVO_UI_SELECT_URI_DLG_H_
