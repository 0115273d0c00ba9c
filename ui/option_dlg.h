// The options dialog "オプション": the validator path, the editor command,
// the browser choice, the number of targets checked at once and the HTML5
// checker's vnu.jar. The caller
// fills the members, runs the dialog modally and reads them back after OK;
// the dialog touches no settings.
// User-interface thread.
#ifndef TESSAVO_UI_OPTION_DLG_H_
#define TESSAVO_UI_OPTION_DLG_H_

#include <wx/dialog.h>

#include <string>

class wxChoice;
class wxSpinCtrl;
class wxTextCtrl;

class OptionDlg : public wxDialog {
 public:
  // Control ids of the dialog.
  static constexpr int IDC_BROWSER = 1012;
  static constexpr int IDC_CHOOSE_EDITOR = 1013;
  static constexpr int IDC_EDITOR = 1014;
  static constexpr int IDC_VALIDATOR = 1016;
  static constexpr int IDC_CHOOSE_VALIDATOR = 1017;
  static constexpr int IDC_JOBS = 1018;
  static constexpr int IDC_HTML5_CHECKER = 1019;
  static constexpr int IDC_CHOOSE_HTML5_CHECKER = 1020;

  explicit OptionDlg(wxWindow* parent);

  std::string editorCommand;
  std::string validatorPath;
  // 0 "（指定しない）", 1 "Netscape Navigator", 2 "Internet Explorer"; -1 when
  // no item is selected. Other values show no selection.
  int browserIndex = 0;
  // Validators a check runs at once, 1 to kMaxCheckJobs.
  int jobs = 1;
  // vnu.jar; empty turns HTML5 checking off.
  std::string html5Checker;

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

  wxTextCtrl* editorField() const { return editor_; }
  wxTextCtrl* validatorField() const { return validator_; }
  wxChoice* browserChoice() const { return browser_; }
  wxSpinCtrl* jobsField() const { return jobs_; }
  wxTextCtrl* html5CheckerField() const { return html5Checker_; }

 private:
  void onChooseEditor(wxCommandEvent& event);
  void onChooseValidator(wxCommandEvent& event);
  void onChooseHtml5Checker(wxCommandEvent& event);

  wxTextCtrl* validator_;
  wxTextCtrl* editor_;
  wxChoice* browser_;
  wxSpinCtrl* jobs_;
  wxTextCtrl* html5Checker_;
};

#endif  // TESSAVO_UI_OPTION_DLG_H_
