#include "ui/about_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "ui/program_icon.h"

namespace {

// The icon's size in the box, as the desktop draws a dialog's icon.
constexpr int kIconSize = 48;

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("Tessavoについて")) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticBitmap(this, wxID_ANY, programIconBitmap(kIconSize)), 0, wxRIGHT, 12);
  row->Add(new wxStaticText(this, wxID_ANY, "Tessavo Version 1.30"), 1, wxALIGN_CENTER_VERTICAL);
  auto* close = new wxButton(this, wxID_OK, wxString::FromUTF8("了解"));
  close->SetDefault();
  row->Add(close, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 12);

  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(row, 0, wxEXPAND | wxALL, 12);
  SetSizerAndFit(layout);
}
