#include "ui/option_dlg.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "engine/check_job.h"
#include "ui/wx_text.h"

namespace {

wxString text(const char* utf8) {
  return wxString::FromUTF8(utf8);
}

// Executables on this system carry no extension, so the editor chooser lists
// every file; the validator chooser lists the validator's two names.
const char kEditorFilter[] = "実行ファイル|*";
const char kValidatorFilter[] = "nsgmls, onsgmls|nsgmls;onsgmls";
const char kHtml5CheckerFilter[] = "vnu.jar|*.jar";

}  // namespace

OptionDlg::OptionDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, text("オプション"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  auto* grid = new wxFlexGridSizer(3, wxSize(6, 6));
  grid->AddGrowableCol(1);
  const int fieldWidth = ConvertDialogToPixels(wxSize(138, 0)).GetWidth();

  // Controls are made in the order of the dialog's template: the toolkit
  // takes that as the tab order, and a label's mnemonic moves the focus to
  // the control made after it.
  auto label = [this](const char* caption) {
    return new wxStaticText(this, wxID_ANY, text(caption), wxDefaultPosition, wxDefaultSize,
                            wxALIGN_RIGHT);
  };
  grid->Add(label("nsgmls.exe(&N)："), 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  validator_ =
      new wxTextCtrl(this, IDC_VALIDATOR, wxString(), wxDefaultPosition, wxSize(fieldWidth, -1));
  grid->Add(validator_, 1, wxEXPAND);
  grid->Add(new wxButton(this, IDC_CHOOSE_VALIDATOR, text("選択(&S)...")));
  grid->Add(label("エディタ(&E)："), 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  editor_ = new wxTextCtrl(this, IDC_EDITOR, wxString(), wxDefaultPosition, wxSize(fieldWidth, -1));
  grid->Add(editor_, 1, wxEXPAND);
  grid->Add(new wxButton(this, IDC_CHOOSE_EDITOR, text("選択(&C)...")));
  grid->Add(label("ブラウザ(&B)："), 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  const wxString browsers[] = {text("（指定しない）"), "Netscape Navigator", "Internet Explorer"};
  browser_ = new wxChoice(this, IDC_BROWSER, wxDefaultPosition, wxDefaultSize, 3, browsers);
  grid->Add(browser_, 1, wxEXPAND);
  grid->AddSpacer(0);
  grid->Add(label("同時に検査する数"), 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  jobs_ = new wxSpinCtrl(this, IDC_JOBS, wxString(), wxDefaultPosition, wxDefaultSize,
                         wxSP_ARROW_KEYS, 1, kMaxCheckJobs, 1);
  grid->Add(jobs_, 0);
  grid->AddSpacer(0);
  grid->Add(label("HTML5 チェッカー(&H)："), 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT);
  html5Checker_ = new wxTextCtrl(this, IDC_HTML5_CHECKER, wxString(), wxDefaultPosition,
                                 wxSize(fieldWidth, -1));
  html5Checker_->SetToolTip(text("vnu.jar のパス。空にすると HTML5 の検査をしません"));
  grid->Add(html5Checker_, 1, wxEXPAND);
  grid->Add(new wxButton(this, IDC_CHOOSE_HTML5_CHECKER, text("選択(&V)...")));

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* apply = new wxButton(this, wxID_OK, text("適用(&A)"));
  apply->SetDefault();
  buttons->Add(apply, 0, wxRIGHT, 12);
  buttons->Add(new wxButton(this, wxID_CANCEL, text("中止")));

  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(grid, 1, wxEXPAND | wxALL, 10);
  layout->Add(buttons, 0, wxALIGN_CENTER | wxBOTTOM, 10);
  SetSizerAndFit(layout);

  Bind(wxEVT_BUTTON, &OptionDlg::onChooseEditor, this, IDC_CHOOSE_EDITOR);
  Bind(wxEVT_BUTTON, &OptionDlg::onChooseValidator, this, IDC_CHOOSE_VALIDATOR);
  Bind(wxEVT_BUTTON, &OptionDlg::onChooseHtml5Checker, this, IDC_CHOOSE_HTML5_CHECKER);
  // The first field takes the focus when the dialog opens.
  validator_->SetFocus();
}

bool OptionDlg::TransferDataToWindow() {
  editor_->ChangeValue(toWx(editorCommand));
  validator_->ChangeValue(toWx(validatorPath));
  browser_->SetSelection(browserIndex >= 0 && browserIndex <= 2 ? browserIndex : wxNOT_FOUND);
  jobs_->SetValue(std::clamp(jobs, 1, kMaxCheckJobs));
  html5Checker_->ChangeValue(toWx(html5Checker));
  return true;
}

bool OptionDlg::TransferDataFromWindow() {
  editorCommand = fromWx(editor_->GetValue());
  validatorPath = fromWx(validator_->GetValue());
  browserIndex = browser_->GetSelection();  // wxNOT_FOUND is -1
  jobs = jobs_->GetValue();
  html5Checker = fromWx(html5Checker_->GetValue());
  return true;
}

void OptionDlg::onChooseEditor(wxCommandEvent& /*event*/) {
  wxFileDialog dialog(this, wxString(), wxString(), wxString(), text(kEditorFilter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() == wxID_OK) editor_->ChangeValue(dialog.GetPath());
}

void OptionDlg::onChooseValidator(wxCommandEvent& /*event*/) {
  wxFileDialog dialog(this, wxString(), wxString(), wxString(), text(kValidatorFilter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() == wxID_OK) validator_->ChangeValue(dialog.GetPath());
}

void OptionDlg::onChooseHtml5Checker(wxCommandEvent& /*event*/) {
  wxFileDialog dialog(this, wxString(), wxString(), wxString(), text(kHtml5CheckerFilter),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() == wxID_OK) html5Checker_->ChangeValue(dialog.GetPath());
}
