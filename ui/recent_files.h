// The recent-file list: four working-set files, written to the profile's
// "Recent File List" group as "File1" (the newest) to "File4" whenever a
// working set is opened or saved, so a crash or a second instance never
// loses it. Paths are stored absolute, whatever folder they were typed in.
//
// TessavoDocManager is the program's document manager: single document, no
// menu of its own for the list. Borrows the profile object (it must outlive
// the manager). User-interface thread only.
#ifndef TESSAVO_UI_RECENT_FILES_H_
#define TESSAVO_UI_RECENT_FILES_H_

#include <wx/docview.h>

class wxConfigBase;

class TessavoDocManager : public wxDocManager {
 public:
  // Reads the list from `config`.
  explicit TessavoDocManager(wxConfigBase* config);

  wxFileHistory* OnCreateFileHistory() override;
  // Puts `file`, made absolute, first in the list and writes the list.
  void AddFileToHistory(const wxString& file) override;

  // Writes the list as it is now.
  void saveRecentFiles();

 private:
  wxConfigBase* config_;  // not owned
};

#endif  // TESSAVO_UI_RECENT_FILES_H_
