// The open-file dialog of the file-selection command: several existing
// files at once, no filter, no default name, the toolkit's usual title
// ("Open File" in the user's language).
//
// The chosen paths can also be set by a test that answers the dialog
// without showing it (wx's modal hook); the native dialog only reports
// paths the user chose in it. User-interface thread.
#ifndef TESSAVO_UI_FILE_SELECTION_DIALOG_H_
#define TESSAVO_UI_FILE_SELECTION_DIALOG_H_

#include <wx/filedlg.h>

#include <optional>
#include <string>
#include <vector>

class FileSelectionDialog : public wxFileDialog {
 public:
  explicit FileSelectionDialog(wxWindow* parent);

  // After OK: the chosen files' full paths, in the dialog's order.
  std::vector<std::string> chosenPaths() const;

  void choose(std::vector<std::string> paths) { chosen_ = std::move(paths); }

 private:
  std::optional<std::vector<std::string>> chosen_;
};

#endif  // TESSAVO_UI_FILE_SELECTION_DIALOG_H_
