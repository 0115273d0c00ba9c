#include "ui/select_uri_dlg.h"

#include <wx/button.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "engine/target_construction.h"
#include "platform/local_text.h"
#include "ui/wx_text.h"

SelectUriDlg::SelectUriDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("検査するURI")) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, "URI(&U):"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
  uri_ = new wxTextCtrl(this, IDC_URI, wxString(), wxDefaultPosition,
                        wxSize(ConvertDialogToPixels(wxSize(253, 0)).GetWidth(), -1));
  row->Add(uri_, 1, wxEXPAND);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  buttons->Add(ok, 0, wxRIGHT, 12);
  buttons->Add(new wxButton(this, wxID_CANCEL, wxString::FromUTF8("キャンセル")));

  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(row, 0, wxEXPAND | wxALL, 10);
  layout->Add(buttons, 0, wxALIGN_CENTER | wxBOTTOM, 10);
  SetSizerAndFit(layout);
  uri_->SetFocus();
}

bool SelectUriDlg::TransferDataToWindow() {
  uri_->ChangeValue(toWx(uriText));
  return true;
}

bool SelectUriDlg::TransferDataFromWindow() {
  const std::string text = fromWx(uri_->GetValue());
  const std::string refusal = refusalOfUri(text);
  if (!refusal.empty()) {
    wxMessageBox(toWx(platform::localText("追加できないURI：") + text + "\n" + refusal),
                 wxString::FromUTF8("検査するURI"), wxOK | wxICON_WARNING, this);
    return false;
  }
  uriText = text;
  return true;
}
