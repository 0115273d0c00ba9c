#include "ui/main_frame.h"

#include <wx/button.h>
#include <wx/config.h>
#include <wx/dir.h>
#include <wx/dirdlg.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/fontdlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <cstdio>

#include "files/file_name.h"
#include "files/folder_scan.h"
#include "platform/local_text.h"
#include "platform/process.h"
#include "ui/about_dlg.h"
#include "ui/app_with_help.h"
#include "ui/browse_for_folder.h"
#include "ui/command_ids.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/file_selection_dialog.h"
#include "ui/frame_roads.h"
#include "ui/menus.h"
#include "ui/option_dlg.h"
#include "ui/select_uri_dlg.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"
#include "viewers/editor_launcher.h"
#include "viewers/netscape.h"
#include "viewers/process_starter.h"

namespace {

const char kProgramName[] = "Tessavo";
const wxString kSettings = "Settings/";

constexpr int kSashStep = 8;

wxString text(const char* utf8) {
  return wxString::FromUTF8(utf8);
}

std::string readString(wxConfigBase* config, const char* key, const char* fallback) {
  wxString value;
  if (!config->Read(kSettings + key, &value)) return fallback;
  return fromWx(value);
}

long readInt(wxConfigBase* config, const char* key, long fallback) {
  return config->ReadLong(kSettings + key, fallback);
}

}  // namespace

wxRect CMainFrame::storedWindowRect(wxConfigBase* config) {
  const long left = readInt(config, "left", 0);
  const long top = readInt(config, "top", 0);
  const long right = readInt(config, "right", 300);
  const long bottom = readInt(config, "bottom", 400);
  wxRect rect(left, top, right - left, bottom - top);
  // An empty or inverted size cannot make a window; the default size stands
  // in for the side that is unusable.
  if (rect.width < 1) rect.width = 300;
  if (rect.height < 1) rect.height = 400;
  bool visible = false;
  for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
    if (wxDisplay(i).GetGeometry().Intersects(rect)) visible = true;
  }
  // A rectangle on a display that is gone would open the window where
  // nobody can reach it.
  if (!visible) rect.SetPosition(wxPoint(0, 0));
  return rect;
}

CMainFrame::CMainFrame(wxDocManager* manager, wxConfigBase* config)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, kProgramName,
                       storedWindowRect(config).GetPosition(), storedWindowRect(config).GetSize()),
      config_(config) {
  normalRect_ = storedWindowRect(config);
  SetMenuBar(createMainMenuBar());
  createStatusBar();
  createButtonBar();
  readSettings();
  createPanes();
  activePane_ = filePane_;
  roads_ = std::make_unique<FrameRoads>(this);

  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(buttonBar_, 0, wxEXPAND);
  layout->Add(splitter_, 1, wxEXPAND);
  SetSizer(layout);

  bindCommand(ID_FILE_NEW, &CMainFrame::onFileNew, &CMainFrame::whenIdle);
  bindCommand(ID_FILE_OPEN, &CMainFrame::onFileOpen, &CMainFrame::whenIdle);
  bindCommand(ID_FILE_SAVE, &CMainFrame::onFileSave, &CMainFrame::always);
  bindCommand(ID_FILE_SAVE_AS, &CMainFrame::onFileSaveAs, &CMainFrame::always);
  bindCommand(ID_APP_EXIT, &CMainFrame::onAppExit, &CMainFrame::whenIdle);
  bindCommand(ID_SELECT_FILES, &CMainFrame::onSelectFiles, &CMainFrame::whenIdle);
  bindCommand(ID_SELECT_FOLDER, &CMainFrame::onSelectFolder, &CMainFrame::whenIdle);
  bindCommand(ID_ADD_URI, &CMainFrame::onAddUri, &CMainFrame::whenIdle);
  bindCommand(ID_EDIT_CLEAR, &CMainFrame::onEditClear, &CMainFrame::ruleEditClear);
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

  wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
                               {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE}};
  SetAcceleratorTable(wxAcceleratorTable(2, keys));

  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::onClose, this);
  Bind(wxEVT_THREAD, &CMainFrame::onCheckDone, this, WM_CHECK_DONE);
  Bind(wxEVT_SIZE, &CMainFrame::onMoveOrSize, this);
  Bind(wxEVT_MOVE, &CMainFrame::onMoveOrSize, this);
  Bind(wxEVT_CHAR_HOOK, &CMainFrame::onCharHook, this);
  indicatorTimer_ = new wxTimer(this);
  Bind(wxEVT_TIMER, &CMainFrame::onIndicatorTimer, this, indicatorTimer_->GetId());
  indicatorTimer_->Start(300);
}

CMainFrame::~CMainFrame() {
  roads_.reset();
  if (indicatorTimer_ != nullptr) indicatorTimer_->Stop();
  delete indicatorTimer_;
  // The thread member is destroyed (and waits for a running check) before
  // wx destroys the child windows, so the pane the run writes into outlives
  // the run.
  checker_.stop();
  if (!rectSaved_) saveWindowRect();
}

void CMainFrame::bindCommand(int id, void (CMainFrame::*handler)(wxCommandEvent&),
                             void (CMainFrame::*rule)(wxUpdateUIEvent&)) {
  Bind(wxEVT_MENU, handler, this, id);
  Bind(wxEVT_BUTTON, handler, this, id);
  Bind(wxEVT_UPDATE_UI, rule, this, id);
}

// ---------------------------------------------------------------- creation

void CMainFrame::createStatusBar() {
  wxStatusBar* bar = CreateStatusBar(5, wxSTB_DEFAULT_STYLE, ID_VIEW_STATUS_BAR);
  const char* indicators[] = {"ｶﾅ", "CAP", "NUM", "SCRL"};
  int widths[5] = {-1, 0, 0, 0, 0};
  for (int i = 0; i < 4; ++i)
    widths[i + 1] = bar->GetTextExtent(text(indicators[i])).GetWidth() + 16;
  bar->SetStatusWidths(5, widths);
  SetStatusBarPane(0);
  SetStatusText(text("ﾚﾃﾞｨ"), 0);
}

void CMainFrame::createButtonBar() {
  buttonBar_ = new wxPanel(this, IDD_BUTTON_BAR);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  const struct {
    int id;
    const char* label;
  } buttons[] = {{ID_CHECK_ALL, "全て検査"},
                 {ID_OPEN_EDITOR, "編集"},
                 {ID_OPEN_BROWSER, "閲覧"},
                 {ID_CHECK_ABORT, "検査中断"}};
  const wxSize size = buttonBar_->ConvertDialogToPixels(wxSize(42, 14));
  for (const auto& button : buttons) {
    auto* control = new wxButton(buttonBar_, button.id, text(button.label));
    control->SetMinSize(wxSize(std::max(size.GetWidth(), control->GetBestSize().GetWidth()), -1));
    row->Add(control, 0, wxALL, 2);
  }
  buttonBar_->SetSizer(row);
  // The bar is cut at the window's edge rather than widening the window
  // beyond its stored size.
  buttonBar_->SetMinSize(wxSize(1, row->GetMinSize().GetHeight()));
}

void CMainFrame::createPanes() {
  const long fileListHeight = readInt(config_, "FileListPaneSizeY", 100);
  splitter_ = new wxSplitterWindow(this, AFX_IDW_PANE_FIRST, wxDefaultPosition, wxDefaultSize,
                                   wxSP_3D | wxSP_LIVE_UPDATE);
  splitter_->SetMinimumPaneSize(1);
  splitter_->SetSashGravity(0.0);
  filePane_ = new FileListView(splitter_, this);
  errorPane_ = new ErrListView(splitter_, this);
  splitter_->SplitHorizontally(filePane_, errorPane_, static_cast<int>(fileListHeight));
}

void CMainFrame::readSettings() {
  dropStart_ = readInt(config_, "DropStart", 0) != 0 ? 1 : 0;
  editorCommand_ = readString(config_, "Editor", defaultEditorCommand().c_str());
  validatorPath_ = readString(config_, "SP Location", "");
  validatorTimeout_ =
      static_cast<int>(readInt(config_, "ValidatorTimeout", kDefaultValidatorTimeout));
  browserChoice_ = static_cast<int>(readInt(config_, "Browser", 0));
  applyBrowserChoice();
}

void CMainFrame::writeInt(const char* key, long value) {
  config_->Write(kSettings + key, value);
  config_->Flush();
}

void CMainFrame::writeString(const char* key, const std::string& value) {
  config_->Write(kSettings + key, toWx(value));
  config_->Flush();
}

void CMainFrame::saveWindowRect() {
  rectSaved_ = true;
  config_->Write(kSettings + "left", static_cast<long>(normalRect_.GetLeft()));
  config_->Write(kSettings + "top", static_cast<long>(normalRect_.GetTop()));
  config_->Write(kSettings + "right",
                 static_cast<long>(normalRect_.GetLeft() + normalRect_.GetWidth()));
  config_->Write(kSettings + "bottom",
                 static_cast<long>(normalRect_.GetTop() + normalRect_.GetHeight()));
  config_->Flush();
}

bool CMainFrame::Destroy() {
  if (!rectSaved_) saveWindowRect();
  // Only a close that could not be refused (the session ends) gets here
  // during a run; the run is asked to stop and the destructor waits for it.
  checker_.stop();
  return wxDocParentFrame::Destroy();
}

void CMainFrame::attachDocument(TessavoDoc* document) {
  if (document_ != nullptr && document_ != document) {
    document_->setFilePane(nullptr);
    document_->setErrorPane(nullptr);
  }
  document_ = document;
  if (filePane_ != nullptr) filePane_->setDocument(document);
  if (document_ != nullptr) {
    document_->setFilePane(filePane_);
    document_->setErrorPane(errorPane_);
  }
}

void CMainFrame::OnFileListInitialUpdate() {
  if (!listFontSet_) {
    wxMemoryBuffer stored;
    std::optional<LogFont> record;
    if (config_->Read(kSettings + "font", &stored)) {
      record = LogFont::fromBytes(
          std::string(static_cast<const char*>(stored.GetData()), stored.GetDataLen()));
    }
    listFontRecord_ = record ? *record : LogFont();
    listFont_ = listFontRecord_.toWxFont();
    filePane_->setListFont(listFont_);
    errorPane_->setListFont(listFont_);
    listFontSet_ = true;
  }
  targetCollection().addCommandLineFiles(commandLineFiles_);
}

// ---------------------------------------------------------------- checking

void CMainFrame::StartCheck(CheckScope scope) {
  if (checker_.isRunning()) return;
  std::vector<CheckTarget*> targets;
  if (scope == CheckScope::All) {
    targets = filePane_->targets();
  } else if (activePane_ == filePane_) {
    CheckTarget* target = filePane_->selectedTarget();
    if (target == nullptr) return;
    targets.push_back(target);
  } else {
    const std::optional<ErrorItem> item = errorPane_->selectedItem();
    if (!item || item->target == nullptr) return;
    targets.push_back(item->target);
  }
  job_.mainWindow = this;
  job_.errorPane = errorPane_;
  job_.targets = std::move(targets);
  job_.validatorPath = validatorPath_;
  job_.validatorTimeout = validatorTimeout_;
  checker_.start(&job_);
}

void CMainFrame::abortCheck() {
  checker_.stop();
}

void CMainFrame::postCheckDone() {
  wxQueueEvent(this, new wxThreadEvent(wxEVT_THREAD, WM_CHECK_DONE));
}

void CMainFrame::onCheckDone(wxThreadEvent& /*event*/) {
  // The run's lines are all in the pane's model; show them now so that the
  // closing line is on screen with the re-enabled commands.
  errorPane_->syncWithModel();
  // Drops and hand-overs that arrived during the run are applied now.
  targetCollection().runEnded();
  if (!checkDoneMarker_.empty()) {
    if (std::FILE* marker = std::fopen(checkDoneMarker_.c_str(), "w")) std::fclose(marker);
  }
}

void CMainFrame::targetRemoved(const CheckTarget* target) {
  errorPane_->RemoveLinesOf(target);
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

// ---------------------------------------------------------------- commands

void CMainFrame::onFileNew(wxCommandEvent&) {
  if (isChecking() || document_ == nullptr) return;
  if (!document_->OnSaveModified()) return;
  document_->OnNewDocument();
}

void CMainFrame::onFileOpen(wxCommandEvent&) {
  if (isChecking() || document_ == nullptr) return;
  if (!document_->OnSaveModified()) return;
  wxFileDialog dialog(this, wxString(), wxString(), wxString(),
                      "TVX Working Set Files (*.tvx)|*.tvx", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return;
  if (document_->OnOpenDocument(dialog.GetPath())) {
    GetDocumentManager()->AddFileToHistory(dialog.GetPath());
  }
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

TargetCollection& CMainFrame::targetCollection() {
  return roads_->roads();
}

void CMainFrame::AddFolder(const std::string& folder) {
  ::AddFolder(folder, *filePane_);
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

void CMainFrame::onCheckAll(wxCommandEvent&) {
  StartCheck(CheckScope::All);
}

void CMainFrame::onCheckSelected(wxCommandEvent&) {
  StartCheck(CheckScope::Selected);
}

void CMainFrame::onOpenEditor(wxCommandEvent&) {
  OnOpenEditor();
}

void CMainFrame::OnOpenEditor() {
  const std::optional<Selection> selected = selection();
  if (!selected) return;
  openInEditor(editorCommand_, selected->target, selected->line, systemProcessStarter());
}

void CMainFrame::openSelectedErrorLine() {
  const std::optional<ErrorItem> item = errorPane_->selectedItem();
  if (!item || item->target == nullptr || item->target->kind != TargetKind::File) return;
  OnOpenEditor();
}

void CMainFrame::onOpenBrowser(wxCommandEvent&) {
  OnOpenBrowser();
}

void CMainFrame::OnOpenBrowser() {
  const std::optional<Selection> selected = selection();
  if (!selected) return;
  BrowserCommand::Outcome outcome;
  {
    // wx keeps dispatching events while a browser request waits; the user
    // must not start anything else meanwhile.
    wxWindowDisabler noInput;
    wxBusyCursor busy;
    outcome = browserCommand_.open(selected->target, browserChoice_,
                                   browserChoice_ != 0 ? Netscape::instance() : nullptr,
                                   systemShellOpener());
  }
  if (outcome != BrowserCommand::Outcome::ShowMenu) return;

  browserMenu_ = std::make_unique<wxMenu>();
  for (const BrowserMenuEntry& entry : browserCommand_.menuEntries()) {
    browserMenu_->Append(commandId(entry.command), toWx(entry.label));
  }
  // Under the lower-left corner of the "閲覧" button, whichever way the
  // command came; at the pointer when the button bar is hidden.
  wxWindow* button = buttonBar_->FindWindow(ID_OPEN_BROWSER);
  if (button != nullptr && button->IsShownOnScreen()) {
    wxPoint corner = button->GetScreenPosition();
    corner.y += button->GetSize().GetHeight();
    PopupMenu(browserMenu_.get(), ScreenToClient(corner));
  } else {
    PopupMenu(browserMenu_.get());
  }
}

void CMainFrame::onBrowserEntry(wxCommandEvent& event) {
  OnBrowserEntry(event.GetId() - ID_BROWSER_01);
}

void CMainFrame::OnBrowserEntry(int n) {
  browserCommand_.openEntry(BrowserCommand::ID_BROWSER_01 + n, Netscape::instance());
}

void CMainFrame::applyBrowserChoice() {
  if (browserChoice_ == 0) return;
  Netscape::instance()->setBrowser(browserChoice_ == 1 ? Netscape::kNetscape : Netscape::kExplorer);
}

void CMainFrame::onCheckAbort(wxCommandEvent&) {
  abortCheck();
}

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
  SetStatusText(text("ファイル一覧ペイン，エラーペインの境界を移動する"), 0);
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
      SetStatusText(text("ﾚﾃﾞｨ"), 0);
      break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      splitStartPosition_ = -1;
      SetStatusText(text("ﾚﾃﾞｨ"), 0);
      break;
    default:
      break;
  }
}

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
  const std::string bytes = listFontRecord_.toBytes();
  wxMemoryBuffer buffer;
  buffer.AppendData(bytes.data(), bytes.size());
  config_->Write(kSettings + "font", buffer);
  config_->Flush();
}

void CMainFrame::onDropStart(wxCommandEvent&) {
  dropStart_ = 1 - dropStart_;
  writeInt("DropStart", dropStart_);
}

void CMainFrame::onOptions(wxCommandEvent&) {
  OptionDlg dialog(this);
  dialog.editorCommand = editorCommand_;
  dialog.validatorPath = validatorPath_;
  dialog.browserIndex = browserChoice_;
  if (dialog.ShowModal() != wxID_OK) return;
  editorCommand_ = dialog.editorCommand;
  validatorPath_ = dialog.validatorPath;
  browserChoice_ = dialog.browserIndex;
  config_->Write(kSettings + "Editor", toWx(editorCommand_));
  config_->Write(kSettings + "SP Location", toWx(validatorPath_));
  config_->Write(kSettings + "Browser", static_cast<long>(browserChoice_));
  config_->Flush();
  applyBrowserChoice();
}

void CMainFrame::onHelp(wxCommandEvent&) {
  showHelp();
}

void CMainFrame::showHelp() {
  if (auto* app = dynamic_cast<CAppWithHelp*>(wxApp::GetInstance())) app->showHelp();
}

void CMainFrame::onAbout(wxCommandEvent&) {
  CAboutDlg dialog(this);
  dialog.ShowModal();
}

void CMainFrame::onNextPane(wxCommandEvent&) {
  // Two panes: the next and the previous are both the other one.
  ListBoxView* next = activePane_ == filePane_ ? static_cast<ListBoxView*>(errorPane_)
                                               : static_cast<ListBoxView*>(filePane_);
  next->SetFocus();
  setActivePane(next);
}

// ---------------------------------------------------------------- window

void CMainFrame::onClose(wxCloseEvent& event) {
  if (isChecking() && event.CanVeto()) {
    wxMessageBox(text("検査中は終了できません"), kProgramName, wxOK | wxICON_EXCLAMATION, this);
    event.Veto();
    return;
  }
  event.Skip();
}

void CMainFrame::onMoveOrSize(wxEvent& event) {
  event.Skip();
  if (!IsMaximized() && !IsIconized() && !IsFullScreen() && IsShown()) {
    normalRect_ = wxRect(GetPosition(), GetSize());
  }
}

void CMainFrame::onIndicatorTimer(wxTimerEvent&) {
  wxStatusBar* bar = GetStatusBar();
  if (bar == nullptr) return;
  const struct {
    int field;
    wxKeyCode key;
    const char* label;
  } indicators[] = {{2, WXK_CAPITAL, "CAP"}, {3, WXK_NUMLOCK, "NUM"}, {4, WXK_SCROLL, "SCRL"}};
  for (const auto& indicator : indicators) {
    const wxString shown = wxGetKeyState(indicator.key) ? text(indicator.label) : wxString();
    if (bar->GetStatusText(indicator.field) != shown) bar->SetStatusText(shown, indicator.field);
  }
}
