#include "ui/browse_for_folder.h"

#include <wx/dirdlg.h>

#include "ui/wx_text.h"

std::string BrowseForFolder(wxWindow* owner, const std::string& title, const std::string& initial) {
  wxDirDialog dialog(owner, toWx(title), toWx(initial), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::string();
  std::string folder = fromWx(dialog.GetPath());
  if (folder.empty()) return folder;
  if (folder.back() != '/') folder += '/';
  return folder;
}
