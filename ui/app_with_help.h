// The application base that answers every help request with one HTML page,
// "index.htm" in the program's data folder (beside the executable in the
// build tree, PREFIX/share/tessavo/ when installed).
//
// The page's name is matched without regard to letter case, and the file is
// opened under the name it has on disk. Where the desktop opens HTML in a
// web browser, the page goes to the desktop's handler; elsewhere (no
// browser, or a text editor as the handler for HTML) it is shown in the
// program's own help window. A missing page, and a page or handler that
// cannot be opened, are each told in a message box (a handler's failure
// with its reason, once it is known).
//
// The opener is borrowed (the desktop's by default); tests set a recorder
// and a folder of their own. User-interface thread only.
#ifndef TESSAVO_UI_APP_WITH_HELP_H_
#define TESSAVO_UI_APP_WITH_HELP_H_

#include <wx/app.h>

#include <string>

#include "ui/start_failures.h"

class ShellOpener;

class CAppWithHelp : public wxApp {
 public:
  CAppWithHelp();

  // Opens the help page. Whatever topic was asked for, it is the same page.
  virtual void showHelp();

  // The page's full path as stored on disk, or empty when there is none.
  std::string findHelpPage() const;

  // True when the page goes to the desktop's handler rather than the
  // program's own window.
  static bool desktopShowsHelp();

  void setHelpOpener(ShellOpener* opener) { opener_ = opener; }
  // The folder to look in, ending with "/"; empty means the program's data
  // folder.
  void setHelpFolder(std::string folder) { helpFolder_ = std::move(folder); }

 private:
  ShellOpener* opener_;  // not owned
  std::string helpFolder_;
  StartFailures startFailures_{this};
};

#endif  // TESSAVO_UI_APP_WITH_HELP_H_
