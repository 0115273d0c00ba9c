#include "ui/working_set_dialog.h"

#include <wx/filefn.h>

namespace {

// The toolkit's patterns heed letter case; the working-set extension is
// "tvx" in any case, as everywhere else in the program. The plain pattern
// comes first: the toolkit takes a save dialog's extension from it.
const char kFilter[] = "TVX Working Set Files (*.tvx)|*.tvx;*.[tT][vV][xX]";

}  // namespace

WorkingSetDialog::WorkingSetDialog(wxWindow* parent, Purpose purpose, const wxString& current)
    : wxFileDialog(
          parent, wxString::FromUTF8(purpose == Purpose::Open ? "開く" : "名前を付けて保存"),
          wxPathOnly(current), current.empty() ? wxString() : wxFileNameFromPath(current), kFilter,
          purpose == Purpose::Open ? wxFD_OPEN | wxFD_FILE_MUST_EXIST
                                   : wxFD_SAVE | wxFD_OVERWRITE_PROMPT) {}

wxString WorkingSetDialog::chosenPath() const {
  return chosen_ ? *chosen_ : GetPath();
}
