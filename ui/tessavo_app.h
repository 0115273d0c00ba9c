// The application object of the windowed program: it starts the socket
// layer, opens the settings profile, hands its first argument to an
// instance that already runs (and then ends), registers the working-set
// type with the desktop, creates the single-document template (TessavoDoc
// with its view), the main frame and the working-set document, starts with a
// new working set or the working-set file given as the first argument, and
// then answers later starts and accepts drops on its window. Arguments are
// files only; there are no options.
//
// The program speaks the user's language where the toolkit speaks for it
// (the standard dialogs' buttons and titles): the locale comes from the
// environment, with the toolkit's own translations.
//
// A start that cannot go on (the sockets, a working-set argument that cannot
// be opened) ends the program with status 1 after the usual clean-up.
//
// Ownership: the app owns the document manager (which owns the template and
// the document), the profile object (which wx never sees as its global
// configuration, so wx never deletes it), the locale and the
// single-instance lock; wx owns the frame. User-interface thread only.
#ifndef TESSAVO_UI_TESSAVO_APP_H_
#define TESSAVO_UI_TESSAVO_APP_H_

#include <memory>
#include <string>
#include <vector>

#include "ui/app_with_help.h"
#include "ui/prev_instance.h"

class CMainFrame;
class TessavoDocManager;
class wxConfigBase;
class wxDocManager;
class wxLocale;

class TessavoApp : public CAppWithHelp {
 public:
  TessavoApp();
  ~TessavoApp() override;

  bool OnInit() override;
  int OnRun() override;
  int OnExit() override;

  // The steps of the start, in this order (OnInit runs them all; tests run
  // some of them on their own).
  //
  // The socket layer, once per process; false after telling the user.
  bool startSockets();
  // True when another instance took the arguments: this start is to end.
  bool handOverToRunning(const std::vector<std::string>& arguments);
  // Registers the working-set type with the desktop for this user, when the
  // program runs from a build tree; an installed program's entry and type
  // were installed with it.
  void registerDocumentType();
  // After processCommandLine: answers later starts (when this is the first
  // instance) and accepts drops on the main window.
  void becomeFirstInstance();

  // A file handed over by a later start, or only a request to show the
  // window (empty path).
  void handedOver(const std::string& path);

  // Takes the user's language from the environment (LANG, LC_ALL, ...)
  // and loads the toolkit's translations for it.
  void initLocale();

  // Opens the profile at its per-user location. Called again, it reopens the
  // file (tests move it).
  void openSettings();
  wxConfigBase* settings() const { return settings_.get(); }

  // Creates the template, the frame and the document for the program's
  // arguments (without the program's name) and shows the frame. False when
  // the document could not be created (a working-set argument that cannot
  // be opened or is none); no frame is then left, and none was shown.
  bool processCommandLine(const std::vector<std::string>& arguments);

  // Closes the window and its document without questions and forgets both
  // (tests open and close many windows in one process).
  void discardWindow();

  CMainFrame* mainFrame() const { return frame_; }
  wxDocManager* docManager() const;

 private:
  std::unique_ptr<TessavoDocManager> docManager_;
  std::unique_ptr<wxConfigBase> settings_;
  std::unique_ptr<wxLocale> locale_;
  CMainFrame* frame_ = nullptr;  // owned by wx
  CPrevInstance prevInstance_;
  // OnRun's result when OnInit decided that the program ends at once.
  int endedAtStart_ = -1;
};

#endif  // TESSAVO_UI_TESSAVO_APP_H_
