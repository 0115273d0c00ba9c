// The application object of the windowed program: it opens the settings
// profile, creates the single-document template (TessavoDoc with its view),
// the main frame and the working-set document, and starts with a new working
// set or the working-set file given as the first argument. Arguments are
// files only; there are no options.
//
// Ownership: the app owns the document manager (which owns the template and
// the document) and the profile object; wx owns the frame. User-interface
// thread only.
#ifndef TESSAVO_UI_TESSAVO_APP_H_
#define TESSAVO_UI_TESSAVO_APP_H_

#include <wx/app.h>

#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class wxConfigBase;
class wxDocManager;

class TessavoApp : public wxApp {
 public:
  TessavoApp();
  ~TessavoApp() override;

  bool OnInit() override;
  int OnExit() override;

  // Opens the profile at its per-user location and makes it wx's current
  // configuration. Called again, it reopens the file (tests move it).
  void openSettings();

  // Creates the template, the frame and the document for the program's
  // arguments (without the program's name) and shows the frame. False when
  // the document could not be created; the frame is then gone.
  bool processCommandLine(const std::vector<std::string>& arguments);

  // Closes the window and its document without questions and forgets both
  // (tests open and close many windows in one process).
  void discardWindow();

  CMainFrame* mainFrame() const { return frame_; }
  wxDocManager* docManager() const { return docManager_.get(); }

 private:
  std::unique_ptr<wxDocManager> docManager_;
  std::unique_ptr<wxConfigBase> settings_;
  CMainFrame* frame_ = nullptr;  // owned by wx
};

wxDECLARE_APP(TessavoApp);

#endif  // TESSAVO_UI_TESSAVO_APP_H_
