// The about box "Tessavoについて": the program's icon, name and version and
// one button "了解". User-interface thread.
#ifndef TESSAVO_UI_ABOUT_DLG_H_
#define TESSAVO_UI_ABOUT_DLG_H_

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
 public:
  explicit CAboutDlg(wxWindow* parent);
};

#endif  // TESSAVO_UI_ABOUT_DLG_H_
