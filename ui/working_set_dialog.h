// The file dialogs of the working set: "開く" for Open and "名前を付けて保存"
// for Save As, both offering "TVX Working Set Files (*.tvx)", which lists
// the files whose extension is "tvx" in any letter case.
//
// The chosen path can also be set by a test that answers the dialog
// without showing it (wx's modal hook): the native dialog only reports a
// path the user chose in it. User-interface thread.
#ifndef TESSAVO_UI_WORKING_SET_DIALOG_H_
#define TESSAVO_UI_WORKING_SET_DIALOG_H_

#include <wx/filedlg.h>

#include <optional>

class WorkingSetDialog : public wxFileDialog {
 public:
  enum class Purpose { Open, SaveAs };

  // `current` is the working set's file, whose folder and name the save
  // dialog starts with; empty for none.
  WorkingSetDialog(wxWindow* parent, Purpose purpose, const wxString& current = wxString());

  // After OK: the chosen file's full path (empty when none was chosen).
  wxString chosenPath() const;

  void choose(const wxString& path) { chosen_ = path; }

 private:
  std::optional<wxString> chosen_;
};

#endif  // TESSAVO_UI_WORKING_SET_DIALOG_H_
