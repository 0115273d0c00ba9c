// The one top-level window: menu bar, button bar, the splitter with the file
// pane above the error pane, and the status bar. It holds the settings its
// commands need, owns the checking thread and the one check job it hands to
// it, and is the target of every menu, button and context-menu command,
// whose enable rules it evaluates at idle time (EVT_UPDATE_UI).
//
// The implementation is spread over files by concern: main_frame.cpp
// (creation, settings, checking, window events), frame_commands.cpp (the
// command table, enable rules and the commands on the working set and the
// view), frame_viewers.cpp (editor, browser, help, about). The status bar is
// a StatusLine of its own (ui/status_line.h).
//
// Ownership: the panes and bars are child windows (wx deletes them); the
// frame owns the thread object, the job and the status line. Destroying the
// frame first stops and waits for a running check, while the panes the run
// writes into still exist. Threads: everything runs on the user-interface
// thread except postCheckDone, which the checking thread calls to queue the
// end-of-run event.
#ifndef TESSAVO_UI_MAIN_FRAME_H_
#define TESSAVO_UI_MAIN_FRAME_H_

#include <wx/docview.h>
#include <wx/font.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/html5_checker.h"
#include "engine/message_filter.h"
#include "engine/run_sgml.h"
#include "engine/run_summary.h"
#include "ui/frame_settings.h"
#include "ui/log_font.h"
#include "ui/start_failures.h"
#include "viewers/browser_command.h"

class ErrListView;
class FileListView;
class FrameRoads;
class ListBoxView;
class StatusLine;
class TargetCollection;
class TessavoDoc;
class wxConfigBase;
class wxMenu;
class wxPanel;
class wxSplitterWindow;
class wxThreadEvent;

class CMainFrame : public wxDocParentFrame, public CheckDoneReceiver {
 public:
  enum class CheckScope { All, Selected };

  // Reads the window rectangle and the settings from `config` (the profile,
  // not owned; it must outlive the frame) and builds the window.
  CMainFrame(wxDocManager* manager, wxConfigBase* config);
  ~CMainFrame() override;

  // Starts a check of every target in the file pane's order, or of the
  // selected target of the active pane. Does nothing while a check runs or
  // when there is nothing to check.
  void StartCheck(CheckScope scope);

  // Asks a running check to stop; returns at once.
  void abortCheck();
  bool isChecking() const { return checker_.isRunning(); }
  // True from the start of a run until its end-of-run event has been
  // handled, which comes a moment after the thread has ended.
  bool runEndPending() const { return runShown_; }
  // A command of the window is under way (it may wait in a dialog).
  bool commandRunning() const { return commandsRunning_ > 0; }

  // Called by the file pane at start-up and after every New and Open: sets
  // the list font the first time, then adds the command-line files.
  void OnFileListInitialUpdate();
  // The program's arguments that are targets (working sets left out).
  void setCommandLineFiles(std::vector<std::string> files) { commandLineFiles_ = std::move(files); }

  // Opens the working-set file at `path` as Open does, once the question
  // about unsaved changes has been answered: the set is replaced, the file
  // goes first in the recent-file list and the command-line files come
  // back. False when the file could not be read (nothing changed then).
  bool loadWorkingSet(const wxString& path);

  // Adds a folder's HTML files and shortcuts, recursively.
  void AddFolder(const std::string& folder);

  // The roads by which targets come in (dialogs, drop, command line,
  // hand-over from a second start).
  TargetCollection& targetCollection();

  // The roads by which targets come in through commands.
  void OnSelectFiles();
  void OnSelectFolder();
  void OnAddUri();

  // Viewers: open the selected target in the editor or the browser, or in
  // the browser window listed at position `n` (0-based) of the last browser
  // menu.
  void OnOpenEditor();
  void OnOpenBrowser();
  void OnBrowserEntry(int n);
  // The popup of the last browser command (null before the first one that
  // listed windows).
  wxMenu* browserMenu() const { return browserMenu_.get(); }
  // Opens the help page "index.htm" of the program's data folder (the
  // application's help, which answers every help request).
  void showHelp();
  // Hands the browser choice to the browser launcher.
  void applyBrowserChoice();

  // The error pane's double click: opens the line's target at its line in
  // the editor when the line leads to a local file; otherwise nothing.
  void openSelectedErrorLine();

  // The pane that last had the focus; the file pane at first.
  ListBoxView* activePane() const { return activePane_; }
  void setActivePane(ListBoxView* pane) { activePane_ = pane; }

  // A target is about to be freed: its error lines go first.
  void targetRemoved(const CheckTarget* target);

  // The error pane has shown what its model holds; during a run the status
  // bar follows the run's progress.
  void errorPaneSynced();

  FileListView* filePane() const { return filePane_; }
  ErrListView* errorPane() const { return errorPane_; }
  wxPanel* buttonBar() const { return buttonBar_; }
  wxSplitterWindow* splitter() const { return splitter_; }
  StatusLine& statusLine() const { return *statusLine_; }
  TessavoDoc* document() const { return document_; }
  // Called by the document's view when it is made and when it goes.
  void attachDocument(TessavoDoc* document);

  const std::string& editorCommand() const { return editorCommand_; }
  const std::string& validatorPath() const { return validatorPath_; }
  int browserChoice() const { return browserChoice_; }
  // Validators a check runs at once ("Jobs").
  int checkJobs() const { return checkJobs_; }
  bool dropStart() const { return dropStart_ != 0; }
  const LogFont& listFontRecord() const { return listFontRecord_; }
  const wxFont& listFont() const { return listFont_; }

  // The target the editor and browser commands act on: the file pane's
  // selected target, or the target of the error pane's selected line with
  // its line number (-1 in the file pane).
  struct Selection {
    CheckTarget* target;
    int line;
  };
  std::optional<Selection> selection() const;

  void postCheckDone() override;
  bool Destroy() override;

  // Menu prompts go to the status line; a menu that closes leaves the
  // idle text.
  void DoGiveHelp(const wxString& text, bool show) override;

 private:
  void createButtonBar();
  void createPanes();
  void readSettings();
  // Readies the HTML5 checker and the message filter of the profile for a
  // run (ui/frame_checkers.cpp); false, after telling the user, when the
  // filter cannot be used.
  bool prepareCheckers();
  void saveWindowRect();
  void bindCommands();

  void bindCommand(int id, void (CMainFrame::*handler)(wxCommandEvent&),
                   void (CMainFrame::*rule)(wxUpdateUIEvent&));

  // Command handlers.
  void onFileNew(wxCommandEvent&);
  void onFileOpen(wxCommandEvent&);
  void onFileSave(wxCommandEvent&);
  void onFileSaveAs(wxCommandEvent&);
  void onAppExit(wxCommandEvent&);
  void onSelectFiles(wxCommandEvent&);
  void onSelectFolder(wxCommandEvent&);
  void onAddUri(wxCommandEvent&);
  void onEditClear(wxCommandEvent&);
  void onEditCopy(wxCommandEvent&);
  void onCheckAll(wxCommandEvent&);
  void onCheckSelected(wxCommandEvent&);
  void onOpenEditor(wxCommandEvent&);
  void onOpenBrowser(wxCommandEvent&);
  void onBrowserEntry(wxCommandEvent&);
  void onCheckAbort(wxCommandEvent&);
  void onViewButtonBar(wxCommandEvent&);
  void onViewStatusBar(wxCommandEvent&);
  void onWindowSplit(wxCommandEvent&);
  void onSetFont(wxCommandEvent&);
  void onDropStart(wxCommandEvent&);
  void onOptions(wxCommandEvent&);
  void onHelp(wxCommandEvent&);
  void onAbout(wxCommandEvent&);
  void onNextPane(wxCommandEvent&);

  // Enable rules.
  void always(wxUpdateUIEvent&);
  void whenIdle(wxUpdateUIEvent&);
  void whenChecking(wxUpdateUIEvent&);
  void ruleEditClear(wxUpdateUIEvent&);
  void ruleEditCopy(wxUpdateUIEvent&);
  void ruleCheckAll(wxUpdateUIEvent&);
  void ruleCheckSelected(wxUpdateUIEvent&);
  void ruleOpenEditor(wxUpdateUIEvent&);
  void ruleOpenBrowser(wxUpdateUIEvent&);
  void ruleButtonBar(wxUpdateUIEvent&);
  void ruleStatusBar(wxUpdateUIEvent&);
  void ruleDropStart(wxUpdateUIEvent&);

  void onMenuHighlight(wxMenuEvent& event);
  void onClose(wxCloseEvent& event);
  void onCheckDone(wxThreadEvent& event);
  void onMoveOrSize(wxEvent& event);
  void onCharHook(wxKeyEvent& event);

  bool fileSelectionActive() const;
  bool errorItemActive() const;
  // The working set is replaced by New or Open: the command-line files come
  // back (the file pane's initial update).
  void workingSetReplaced();

  FrameSettings settings_;
  FileListView* filePane_ = nullptr;
  ErrListView* errorPane_ = nullptr;
  wxPanel* buttonBar_ = nullptr;
  wxSplitterWindow* splitter_ = nullptr;
  ListBoxView* activePane_ = nullptr;
  TessavoDoc* document_ = nullptr;  // not owned
  std::unique_ptr<StatusLine> statusLine_;

  // The HTML5 checker, warm from run to run and ended with the window, made
  // anew when its settings change; and the run's message filter. Both must
  // outlive the run, as the job must.
  std::unique_ptr<Html5Checker> html5Checker_;
  MessageFilter messageFilter_;
  // The job and the recorder of its reports must outlive the thread that
  // reads them: members are destroyed in reverse order, so the thread
  // (declared after) goes first.
  CheckJob job_;
  RunSummaryRecorder runSummary_;
  RunSgml checker_;
  // The run that the status bar reports on: begun by StartCheck, ended by
  // the end-of-run event; whether the user asked it to stop.
  bool runShown_ = false;
  bool stopAsked_ = false;
  // Commands under way, counted by bindCommand (a command's dialog may
  // start another).
  int commandsRunning_ = 0;

  wxFont listFont_;
  LogFont listFontRecord_;
  bool listFontSet_ = false;
  int dropStart_ = 0;
  std::string editorCommand_;
  std::string validatorPath_;
  int validatorTimeout_ = kDefaultValidatorTimeout;  // seconds, 0: none
  int checkJobs_ = 1;                                // "Jobs": validators at once
  int maxErrors_ = kValidatorsOwnMaxErrors;          // "MaxErrors": the validator's -E
  int browserChoice_ = 0;
  // The last browser command's location, window table and entries, and the
  // popup built from them; both live until the next browser command.
  BrowserCommand browserCommand_;
  std::unique_ptr<wxMenu> browserMenu_;
  // Editors and browsers that fail to start are told in message boxes.
  StartFailures startFailures_{this};

  std::vector<std::string> commandLineFiles_;
  std::unique_ptr<FrameRoads> roads_;
  wxRect normalRect_;
  bool rectSaved_ = false;
  // Keyboard move of the splitter bar: the position to go back to on Escape.
  int splitStartPosition_ = -1;
};

#endif  // TESSAVO_UI_MAIN_FRAME_H_
