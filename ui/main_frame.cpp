#include "ui/main_frame.h"

#include <wx/button.h>
#include <wx/config.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>

#include <algorithm>
#include <climits>

#include "files/folder_scan.h"
#include "ui/command_ids.h"
#include "ui/err_list_view.h"
#include "ui/file_list_view.h"
#include "ui/frame_roads.h"
#include "ui/menus.h"
#include "ui/program_icon.h"
#include "ui/run_status_text.h"
#include "ui/status_line.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"
#include "viewers/editor_launcher.h"
#include "viewers/netscape.h"

namespace {

const char kProgramName[] = "Tessavo";

}  // namespace

CMainFrame::CMainFrame(wxDocManager* manager, wxConfigBase* config)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, kProgramName,
                       FrameSettings(config).windowRect().GetPosition(),
                       FrameSettings(config).windowRect().GetSize()),
      settings_(config) {
  normalRect_ = settings_.windowRect();
  SetIcons(programIcons());
  SetMenuBar(createMainMenuBar());
  statusLine_ = std::make_unique<StatusLine>(this);
  createButtonBar();
  readSettings();
  createPanes();
  activePane_ = filePane_;
  roads_ = std::make_unique<FrameRoads>(this);

  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(buttonBar_, 0, wxEXPAND);
  layout->Add(splitter_, 1, wxEXPAND);
  SetSizer(layout);

  bindCommands();
  Bind(wxEVT_MENU_HIGHLIGHT, &CMainFrame::onMenuHighlight, this);
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::onClose, this);
  Bind(wxEVT_THREAD, &CMainFrame::onCheckDone, this, WM_CHECK_DONE);
  Bind(wxEVT_SIZE, &CMainFrame::onMoveOrSize, this);
  Bind(wxEVT_MOVE, &CMainFrame::onMoveOrSize, this);
  Bind(wxEVT_CHAR_HOOK, &CMainFrame::onCharHook, this);
}

CMainFrame::~CMainFrame() {
  roads_.reset();
  // The thread member is destroyed (and waits for a running check) before
  // wx destroys the child windows, so the pane the run writes into outlives
  // the run.
  checker_.stop();
  if (!rectSaved_) saveWindowRect();
}

// ---------------------------------------------------------------- creation

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
    auto* control = new wxButton(buttonBar_, button.id, wxString::FromUTF8(button.label));
    control->SetMinSize(wxSize(std::max(size.GetWidth(), control->GetBestSize().GetWidth()), -1));
    row->Add(control, 0, wxALL, 2);
  }
  buttonBar_->SetSizer(row);
  // The bar is cut at the window's edge rather than widening the window
  // beyond its stored size.
  buttonBar_->SetMinSize(wxSize(1, row->GetMinSize().GetHeight()));
}

void CMainFrame::createPanes() {
  const long fileListHeight = settings_.readInt("FileListPaneSizeY", 100);
  splitter_ = new wxSplitterWindow(this, AFX_IDW_PANE_FIRST, wxDefaultPosition, wxDefaultSize,
                                   wxSP_3D | wxSP_LIVE_UPDATE);
  splitter_->SetMinimumPaneSize(1);
  splitter_->SetSashGravity(0.0);
  filePane_ = new FileListView(splitter_, this);
  errorPane_ = new ErrListView(splitter_, this);
  splitter_->SplitHorizontally(filePane_, errorPane_, static_cast<int>(fileListHeight));
}

void CMainFrame::readSettings() {
  dropStart_ = settings_.readInt("DropStart", 0) != 0 ? 1 : 0;
  editorCommand_ = settings_.readString("Editor", defaultEditorCommand());
  validatorPath_ = settings_.readString("SP Location", "");
  validatorTimeout_ =
      static_cast<int>(settings_.readInt("ValidatorTimeout", kDefaultValidatorTimeout));
  checkJobs_ = static_cast<int>(
      std::clamp<long>(settings_.readInt("Jobs", defaultCheckJobs()), 1, kMaxCheckJobs));
  // A negative or absent value leaves the validator its own limit.
  maxErrors_ = static_cast<int>(std::clamp<long>(settings_.readInt("MaxErrors", -1), -1, INT_MAX));
  if (maxErrors_ < 0) maxErrors_ = kValidatorsOwnMaxErrors;
  browserChoice_ = static_cast<int>(settings_.readInt("Browser", 0));
  applyBrowserChoice();
}

void CMainFrame::saveWindowRect() {
  rectSaved_ = true;
  settings_.writeWindowRect(normalRect_);
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
    listFontRecord_ = settings_.readFont().value_or(LogFont());
    listFont_ = listFontRecord_.toWxFont();
    filePane_->setListFont(listFont_);
    errorPane_->setListFont(listFont_);
    listFontSet_ = true;
  }
  targetCollection().addCommandLineFiles(commandLineFiles_);
}

void CMainFrame::workingSetReplaced() {
  filePane_->OnInitialUpdate();
}

TargetCollection& CMainFrame::targetCollection() {
  return roads_->roads();
}

void CMainFrame::AddFolder(const std::string& folder) {
  ::AddFolder(folder, *filePane_);
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
  if (!prepareCheckers()) return;
  job_.mainWindow = this;
  job_.errorPane = errorPane_;
  job_.targets = std::move(targets);
  job_.validatorPath = validatorPath_;
  job_.validatorTimeout = validatorTimeout_;
  job_.jobs = checkJobs_;
  job_.maxErrors = maxErrors_;
  job_.observer = &runSummary_;
  runSummary_.reset();
  job_.html5Checker = html5Checker_.get();
  job_.messageFilter = messageFilter_.empty() ? nullptr : &messageFilter_;
  stopAsked_ = false;
  runShown_ = checker_.start(&job_);
  if (runShown_) {
    statusLine_->showResting(toWx(runProgressText(ErrListModel::Progress(), job_.targets.size())));
  }
}

void CMainFrame::abortCheck() {
  if (checker_.isRunning()) stopAsked_ = true;
  checker_.stop();
}

void CMainFrame::postCheckDone() {
  wxQueueEvent(this, new wxThreadEvent(wxEVT_THREAD, WM_CHECK_DONE));
}

void CMainFrame::errorPaneSynced() {
  if (!runShown_) return;
  statusLine_->showResting(toWx(runProgressText(errorPane_->progress(), job_.targets.size())));
}

void CMainFrame::onCheckDone(wxThreadEvent& /*event*/) {
  // The run's lines are all in the pane's model; show them now so that the
  // closing line is on screen with the re-enabled commands.
  errorPane_->syncWithModel();
  if (runShown_) {
    runShown_ = false;
    statusLine_->showResting(toWx(runSummary_.summary().text(stopAsked_)));
  }
  // Drops and hand-overs that arrived during the run are applied now.
  targetCollection().runEnded();
}

void CMainFrame::targetRemoved(const CheckTarget* target) {
  errorPane_->RemoveLinesOf(target);
}

// ---------------------------------------------------------------- window

void CMainFrame::onMenuHighlight(wxMenuEvent& event) {
  // Entries of the popups (the panes' menus, the browser windows) are not
  // in the menu bar, where the base class would look; the prompts are
  // looked up by command.
  statusLine_->showPrompt(commandPrompt(event.GetMenuId()));
}

void CMainFrame::DoGiveHelp(const wxString& text, bool show) {
  if (show) {
    statusLine_->showPrompt(text);
    return;
  }
  // The menu has closed: the window is idle again, unless a run goes on.
  statusLine_->endPrompt();
  if (!runShown_) statusLine_->showReady();
}

void CMainFrame::onClose(wxCloseEvent& event) {
  if (isChecking() && event.CanVeto()) {
    wxMessageBox(wxString::FromUTF8("検査中は終了できません"), kProgramName,
                 wxOK | wxICON_EXCLAMATION, this);
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
