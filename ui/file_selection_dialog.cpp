#include "ui/file_selection_dialog.h"

#include <wx/translation.h>

#include "ui/wx_text.h"

// The command names no title of its own: the dialog gets the toolkit's
// usual one for choosing files to open, in the user's language.
FileSelectionDialog::FileSelectionDialog(wxWindow* parent)
    : wxFileDialog(parent, wxGetTranslation("Open File"), wxString(), wxString(),
                   wxFileSelectorDefaultWildcardStr,
                   wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST) {}

std::vector<std::string> FileSelectionDialog::chosenPaths() const {
  if (chosen_) return *chosen_;
  wxArrayString paths;
  GetPaths(paths);
  std::vector<std::string> chosen;
  for (const wxString& path : paths) chosen.push_back(fromWx(path));
  return chosen;
}
