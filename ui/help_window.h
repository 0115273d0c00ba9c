// The help page in a window of the program's own: the way the help is shown
// where the desktop has no web browser for HTML (its handler would be a text
// editor showing the page as source). Links within the page and to pages
// beside it are followed in the window; links to the web go to the
// desktop's handler for them.
//
// The window opens beside the window it was opened for, on that window's
// display; Esc and Ctrl+W close it. Places in the page are found by an
// element's id as well as by an anchor's name.
//
// One window at a time, a child of the window it was opened for (wx deletes
// it with that window or when it is closed). User-interface thread only.
#ifndef TESSAVO_UI_HELP_WINDOW_H_
#define TESSAVO_UI_HELP_WINDOW_H_

#include <wx/frame.h>

#include <string>

#include "ui/start_failures.h"

class wxHtmlLinkEvent;
class wxKeyEvent;
class wxHtmlWindow;

class HelpWindow : public wxFrame {
 public:
  // Shows `page` (a local file) in the help window, making the window on
  // first use and raising it afterwards. False when the page cannot be
  // read; a window made for it is then closed again.
  static bool show(wxWindow* parent, const std::string& page);

  // The open help window, or null.
  static HelpWindow* current();

  wxHtmlWindow* html() const { return html_; }
  // The page shown, as given to show().
  const std::string& page() const { return page_; }

  ~HelpWindow() override;

 private:
  explicit HelpWindow(wxWindow* parent);
  bool load(const std::string& page);
  void onLink(wxHtmlLinkEvent& event);
  void onKey(wxKeyEvent& event);

  wxHtmlWindow* html_;
  std::string page_;
  StartFailures startFailures_{this};
};

#endif  // TESSAVO_UI_HELP_WINDOW_H_
