#include "ui/file_selection_dialog.h"

#include "ui/wx_text.h"

FileSelectionDialog::FileSelectionDialog(wxWindow* parent)
    : wxFileDialog(parent, wxString(), wxString(), wxString(), wxFileSelectorDefaultWildcardStr,
                   wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST) {}

std::vector<std::string> FileSelectionDialog::chosenPaths() const {
  if (chosen_) return *chosen_;
  wxArrayString paths;
  GetPaths(paths);
  std::vector<std::string> chosen;
  for (const wxString& path : paths) chosen.push_back(fromWx(path));
  return chosen;
}
