// The main frame's command table with its enable rules, and the commands on
// the working set, the checks and the view (see main_frame.h).
#include <wx/fontdlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>

#include "files/target_collection.h"
#include "platform/local_text.h"
#include "ui/browse_for_folder.h"
#include "ui/command_ids.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/file_selection_dialog.h"
#include "ui/main_frame.h"
#include "ui/menus.h"
#include "ui/option_dlg.h"
#include "ui/select_uri_dlg.h"
#include "ui/status_line.h"
#include "ui/tessavo_doc.h"
#include "ui/working_set_dialog.h"

namespace {

constexpr int kSashStep = 8;

}  // namespace

void CMainFrame::bindCommand(int id, void (CMainFrame::*handler)(wxCommandEvent&),
                             void (CMainFrame::*rule)(wxUpdateUIEvent&)) {
  // While a command is under way (its dialogs and questions run event
  // loops), drops and hand-overs wait for its end: the command's later steps
  // would otherwise replace a working set, or a check, that came meanwhile.
  const auto run = [this, handler](wxCommandEvent& event) {
    ++commandsRunning_;
    (this->*handler)(event);
    --commandsRunning_;
  };
  Bind(wxEVT_MENU, run, id);
  Bind(wxEVT_BUTTON, run, id);
  Bind(wxEVT_UPDATE_UI, rule, this, id);
}

void CMainFrame::bindCommands() {
  bindCommand(ID_FILE_NEW, &CMainFrame::onFileNew, &CMainFrame::whenIdle);
  bindCommand(ID_FILE_OPEN, &CMainFrame::onFileOpen, &CMainFrame::whenIdle);
  bindCommand(ID_FILE_SAVE, &CMainFrame::onFileSave, &CMainFrame::always);
  bindCommand(ID_FILE_SAVE_AS, &CMainFrame::onFileSaveAs, &CMainFrame::always);
  bindCommand(ID_APP_EXIT, &CMainFrame::onAppExit, &CMainFrame::whenIdle);
  bindCommand(ID_SELECT_FILES, &CMainFrame::onSelectFiles, &CMainFrame::whenIdle);
  bindCommand(ID_SELECT_FOLDER, &CMainFrame::onSelectFolder, &CMainFrame::whenIdle);
  bindCommand(ID_ADD_URI, &CMainFrame::onAddUri, &CMainFrame::whenIdle);
  bindCommand(ID_EDIT_CLEAR, &CMainFrame::onEditClear, &CMainFrame::ruleEditClear);
  bindCommand(ID_EDIT_COPY, &CMainFrame::onEditCopy, &CMainFrame::ruleEditCopy);
  bindCommand(ID_CHECK_ALL, &CMainFrame::onCheckAll, &CMainFrame::ruleCheckAll);
  bindCommand(ID_CHECK_SELECTED, &CMainFrame::onCheckSelected, &CMainFrame::ruleCheckSelected);
  bindCommand(ID_OPEN_EDITOR, &CMainFrame::onOpenEditor, &CMainFrame::ruleOpenEditor);
  bindCommand(ID_OPEN_BROWSER, &CMainFrame::onOpenBrowser, &CMainFrame::ruleOpenBrowser);
  for (int id = ID_BROWSER_01; id <= ID_BROWSER_10; ++id) {
    bindCommand(id, &CMainFrame::onBrowserEntry, &CMainFrame::always);
  }
  bindCommand(ID_CHECK_ABORT, &CMainFrame::onCheckAbort, &CMainFrame::whenChecking);
  bindCommand(ID_VIEW_BUTTONBAR, &CMainFrame::onViewButtonBar, &CMainFrame::ruleButtonBar);
  bindCommand(ID_VIEW_STATUS_BAR, &CMainFrame::onViewStatusBar, &CMainFrame::ruleStatusBar);
  bindCommand(ID_WINDOW_SPLIT, &CMainFrame::onWindowSplit, &CMainFrame::always);
  bindCommand(ID_SET_FONT, &CMainFrame::onSetFont, &CMainFrame::always);
  bindCommand(ID_DROP_START, &CMainFrame::onDropStart, &CMainFrame::ruleDropStart);
  bindCommand(ID_OPTIONS, &CMainFrame::onOptions, &CMainFrame::always);
  bindCommand(ID_HELP, &CMainFrame::onHelp, &CMainFrame::always);
  bindCommand(ID_APP_ABOUT, &CMainFrame::onAbout, &CMainFrame::always);
  bindCommand(ID_NEXT_PANE, &CMainFrame::onNextPane, &CMainFrame::always);
  bindCommand(ID_PREV_PANE, &CMainFrame::onNextPane, &CMainFrame::always);

  // The only keys of the window: F6 and Shift+F6 (F1 comes with the help
  // entry's text). The hints Ctrl+O, Ctrl+S and Ctrl+E are text only.
  wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
                               {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE}};
  SetAcceleratorTable(wxAcceleratorTable(2, keys));
}

// ---------------------------------------------------------------- enable rules

bool CMainFrame::fileSelectionActive() const {
  return activePane_ == filePane_ && filePane_->selectedTarget() != nullptr;
}

bool CMainFrame::errorItemActive() const {
  if (activePane_ != errorPane_) return false;
  const std::optional<ErrorItem> item = errorPane_->selectedItem();
  return item && item->target != nullptr;
}

std::optional<CMainFrame::Selection> CMainFrame::selection() const {
  if (activePane_ == filePane_) {
    CheckTarget* target = filePane_->selectedTarget();
    if (target == nullptr) return std::nullopt;
    return Selection{target, -1};
  }
  const std::optional<ErrorItem> item = errorPane_->selectedItem();
  if (!item || item->target == nullptr) return std::nullopt;
  return Selection{item->target, item->line};
}

void CMainFrame::always(wxUpdateUIEvent& event) {
  event.Enable(true);
}

void CMainFrame::whenIdle(wxUpdateUIEvent& event) {
  event.Enable(!isChecking());
}

void CMainFrame::whenChecking(wxUpdateUIEvent& event) {
  event.Enable(isChecking());
}

void CMainFrame::ruleEditClear(wxUpdateUIEvent& event) {
  event.Enable(!isChecking() && fileSelectionActive());
}

void CMainFrame::ruleEditCopy(wxUpdateUIEvent& event) {
  event.Enable(errorPane_->selectedLine() >= 0);
}

void CMainFrame::ruleCheckAll(wxUpdateUIEvent& event) {
  event.Enable(!isChecking() && filePane_->lineCount() > 0);
}

void CMainFrame::ruleCheckSelected(wxUpdateUIEvent& event) {
  event.Enable(!isChecking() && (fileSelectionActive() || errorItemActive()));
}

void CMainFrame::ruleOpenEditor(wxUpdateUIEvent& event) {
  const std::optional<Selection> selected = selection();
  event.Enable(selected && selected->target->kind == TargetKind::File);
}

void CMainFrame::ruleOpenBrowser(wxUpdateUIEvent& event) {
  event.Enable(selection().has_value());
}

void CMainFrame::ruleButtonBar(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(buttonBar_->IsShown());
}

void CMainFrame::ruleStatusBar(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(GetStatusBar() != nullptr && GetStatusBar()->IsShown());
}

void CMainFrame::ruleDropStart(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(dropStart_ != 0);
}

// ---------------------------------------------------------------- working set

void CMainFrame::onFileNew(wxCommandEvent&) {
  if (isChecking() || document_ == nullptr) return;
  if (!document_->OnSaveModified()) return;
  document_->OnNewDocument();
  statusLine_->showReady();
  workingSetReplaced();
}

void CMainFrame::onFileOpen(wxCommandEvent&) {
  if (isChecking() || document_ == nullptr) return;
  if (!document_->OnSaveModified()) return;
  WorkingSetDialog dialog(this, WorkingSetDialog::Purpose::Open);
  if (dialog.ShowModal() != wxID_OK || dialog.chosenPath().empty()) return;
  loadWorkingSet(dialog.chosenPath());
}

bool CMainFrame::loadWorkingSet(const wxString& path) {
  if (document_ == nullptr || !document_->OnOpenDocument(path)) return false;
  GetDocumentManager()->AddFileToHistory(path);
  statusLine_->showReady();
  workingSetReplaced();
  return true;
}

void CMainFrame::onFileSave(wxCommandEvent&) {
  if (document_ != nullptr) document_->Save();
}

void CMainFrame::onFileSaveAs(wxCommandEvent&) {
  if (document_ != nullptr) document_->SaveAs();
}

void CMainFrame::onAppExit(wxCommandEvent&) {
  Close();
}

void CMainFrame::onSelectFiles(wxCommandEvent&) {
  OnSelectFiles();
}

void CMainFrame::OnSelectFiles() {
  if (isChecking()) return;
  FileSelectionDialog dialog(this);
  if (dialog.ShowModal() != wxID_OK) return;
  targetCollection().addChosenFiles(dialog.chosenPaths());
}

void CMainFrame::onSelectFolder(wxCommandEvent&) {
  OnSelectFolder();
}

void CMainFrame::OnSelectFolder() {
  if (isChecking()) return;
  targetCollection().addChosenFolder(
      BrowseForFolder(this, platform::localText("検査するフォルダ"), std::string()));
}

void CMainFrame::onAddUri(wxCommandEvent&) {
  OnAddUri();
}

void CMainFrame::OnAddUri() {
  if (isChecking()) return;
  SelectUriDlg dialog(this);
  if (dialog.ShowModal() != wxID_OK) return;
  targetCollection().addEnteredUri(dialog.uriText);
}

void CMainFrame::onEditClear(wxCommandEvent&) {
  if (isChecking() || activePane_ != filePane_) return;
  filePane_->RemoveSelected();
}

void CMainFrame::onEditCopy(wxCommandEvent&) {
  errorPane_->copySelection();
}

// ---------------------------------------------------------------- checks

void CMainFrame::onCheckAll(wxCommandEvent&) {
  StartCheck(CheckScope::All);
}

void CMainFrame::onCheckSelected(wxCommandEvent&) {
  StartCheck(CheckScope::Selected);
}

void CMainFrame::onCheckAbort(wxCommandEvent&) {
  abortCheck();
}

// ---------------------------------------------------------------- view

void CMainFrame::onViewButtonBar(wxCommandEvent&) {
  buttonBar_->Show(!buttonBar_->IsShown());
  Layout();
}

void CMainFrame::onViewStatusBar(wxCommandEvent&) {
  wxStatusBar* bar = GetStatusBar();
  if (bar == nullptr) return;
  bar->Show(!bar->IsShown());
  SendSizeEvent();
}

void CMainFrame::onWindowSplit(wxCommandEvent&) {
  // The arrow keys now move the bar; Enter keeps the place, Escape goes back.
  splitStartPosition_ = splitter_->GetSashPosition();
  statusLine_->showPrompt(commandPrompt(ID_WINDOW_SPLIT));
}

void CMainFrame::onCharHook(wxKeyEvent& event) {
  if (splitStartPosition_ < 0) {
    event.Skip();
    return;
  }
  switch (event.GetKeyCode()) {
    case WXK_UP:
      splitter_->SetSashPosition(std::max(1, splitter_->GetSashPosition() - kSashStep));
      break;
    case WXK_DOWN:
      splitter_->SetSashPosition(splitter_->GetSashPosition() + kSashStep);
      break;
    case WXK_ESCAPE:
      splitter_->SetSashPosition(splitStartPosition_);
      splitStartPosition_ = -1;
      statusLine_->endPrompt();
      break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      splitStartPosition_ = -1;
      statusLine_->endPrompt();
      break;
    default:
      break;
  }
}

void CMainFrame::onNextPane(wxCommandEvent&) {
  // Two panes: the next and the previous are both the other one.
  ListBoxView* next = activePane_ == filePane_ ? static_cast<ListBoxView*>(errorPane_)
                                               : static_cast<ListBoxView*>(filePane_);
  next->SetFocus();
  setActivePane(next);
}

// ---------------------------------------------------------------- settings

void CMainFrame::onSetFont(wxCommandEvent&) {
  wxFontData data;
  data.SetInitialFont(listFont_);
  data.EnableEffects(false);
  wxFontDialog dialog(this, data);
  if (dialog.ShowModal() != wxID_OK) return;
  const wxFont chosen = dialog.GetFontData().GetChosenFont();
  if (!chosen.IsOk()) return;
  listFontRecord_ = LogFont::fromWxFont(chosen, listFontRecord_);
  listFont_ = listFontRecord_.toWxFont();
  filePane_->setListFont(listFont_);
  errorPane_->setListFont(listFont_);
  settings_.writeFont(listFontRecord_);
}

void CMainFrame::onDropStart(wxCommandEvent&) {
  dropStart_ = 1 - dropStart_;
  settings_.writeInt("DropStart", dropStart_);
}

void CMainFrame::onOptions(wxCommandEvent&) {
  OptionDlg dialog(this);
  dialog.editorCommand = editorCommand_;
  dialog.validatorPath = validatorPath_;
  dialog.browserIndex = browserChoice_;
  dialog.jobs = checkJobs_;
  const std::string html5Checker = html5CheckerSettingsFromProfile().jar;
  dialog.html5Checker = html5Checker;
  if (dialog.ShowModal() != wxID_OK) return;
  editorCommand_ = dialog.editorCommand;
  validatorPath_ = dialog.validatorPath;
  browserChoice_ = dialog.browserIndex;
  settings_.writeString("Editor", editorCommand_);
  settings_.writeString("SP Location", validatorPath_);
  settings_.writeInt("Browser", browserChoice_);
  // Stored only once changed, so that an untouched value keeps following
  // the machine's number of cores.
  if (dialog.jobs != checkJobs_) {
    checkJobs_ = dialog.jobs;
    settings_.writeInt("Jobs", checkJobs_);
  }
  // Likewise: an untouched value keeps following the vnu.jar installed with
  // the program.
  if (dialog.html5Checker != html5Checker) {
    settings_.writeString("HTML5Checker", dialog.html5Checker);
  }
  applyBrowserChoice();
}
