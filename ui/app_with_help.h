// The application base that answers every help request with one HTML page,
// "index.htm" in the program's data folder (beside the executable in the
// build tree, PREFIX/share/tessavo/ when installed), opened by the
// desktop's handler for it (usually the web browser).
//
// The page's name is matched without regard to letter case, and the file is
// opened under the name it has on disk. A missing page and a handler that
// cannot be started are each told in a message box.
//
// The opener is borrowed (the desktop's by default); tests set a recorder
// and a folder of their own. User-interface thread only.
#ifndef TESSAVO_UI_APP_WITH_HELP_H_
#define TESSAVO_UI_APP_WITH_HELP_H_

#include <wx/app.h>

#include <string>

class ShellOpener;

class CAppWithHelp : public wxApp {
 public:
  CAppWithHelp();

  // Opens the help page. Whatever topic was asked for, it is the same page.
  virtual void showHelp();

  // The page's full path as stored on disk, or empty when there is none.
  std::string findHelpPage() const;

  void setHelpOpener(ShellOpener* opener) { opener_ = opener; }
  // The folder to look in, ending with "/"; empty means the program's data
  // folder.
  void setHelpFolder(std::string folder) { helpFolder_ = std::move(folder); }

 private:
  ShellOpener* opener_;  // not owned
  std::string helpFolder_;
};

#endif  // TESSAVO_UI_APP_WITH_HELP_H_
