#include "ui/recent_files.h"

#include <wx/config.h>
#include <wx/filename.h>

namespace {

constexpr int kRecentFiles = 4;
const wxString kRecentGroup = "Recent File List";

}  // namespace

// The base would make its history in its own constructor, where this
// class's OnCreateFileHistory is not yet called, and get nine entries.
TessavoDocManager::TessavoDocManager(wxConfigBase* config)
    : wxDocManager(0, false), config_(config) {
  Initialize();
  for (int i = kRecentFiles; i >= 1; --i) {
    wxString path;
    if (config_->Read(wxString::Format("%s/File%d", kRecentGroup, i), &path) && !path.empty()) {
      GetFileHistory()->AddFileToHistory(path);
    }
  }
}

wxFileHistory* TessavoDocManager::OnCreateFileHistory() {
  return new wxFileHistory(kRecentFiles);
}

void TessavoDocManager::AddFileToHistory(const wxString& file) {
  wxFileName absolute(file);
  absolute.MakeAbsolute();
  wxDocManager::AddFileToHistory(absolute.GetFullPath());
  saveRecentFiles();
}

void TessavoDocManager::saveRecentFiles() {
  const wxFileHistory* history = GetFileHistory();
  if (history == nullptr) return;
  config_->DeleteGroup(kRecentGroup);
  for (size_t i = 0; i < history->GetCount(); ++i) {
    config_->Write(wxString::Format("%s/File%d", kRecentGroup, static_cast<int>(i + 1)),
                   history->GetHistoryFile(i));
  }
  config_->Flush();
}
