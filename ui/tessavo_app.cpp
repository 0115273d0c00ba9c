#include "ui/tessavo_app.h"

#include <wx/config.h>
#include <wx/docview.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/socket.h>

#include "files/file_name.h"
#include "files/target_collection.h"
#include "platform/desktop_registration.h"
#include "platform/executable_path.h"
#include "platform/program_arguments.h"
#include "platform/settings_location.h"
#include "platform/socket_library.h"
#include "ui/drop_target.h"
#include "ui/file_list_view.h"
#include "ui/ipc/wx_dde_client.h"
#include "ui/main_frame.h"
#include "ui/program_icon.h"
#include "ui/recent_files.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"

namespace {

// The exit status of a start that could not go on.
constexpr int kStartFailed = 1;

}  // namespace

TessavoApp::TessavoApp() = default;

TessavoApp::~TessavoApp() = default;

wxDocManager* TessavoApp::docManager() const {
  return docManager_.get();
}

void TessavoApp::initLocale() {
  if (locale_) return;
  locale_ = std::make_unique<wxLocale>();
  // A language the system has no locale for still gets its translations;
  // the toolkit's complaint about it would be a message box at every start.
  wxLogNull quiet;
  locale_->Init(wxLANGUAGE_DEFAULT, wxLOCALE_LOAD_DEFAULT);
}

void TessavoApp::openSettings() {
  // Nothing of wx's may make a profile of its own (under another name) on
  // demand; every setting goes through this one.
  wxConfigBase::DontCreateOnDemand();
  const wxString path = toWx(platform::settingsFilePath());
  wxFileName::Mkdir(wxPathOnly(path), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  settings_ = std::make_unique<wxFileConfig>("Tessavo", "Marrowby", path, wxString(),
                                             wxCONFIG_USE_LOCAL_FILE);
}

bool TessavoApp::OnInit() {
  // No wxApp::OnInit: it would read the arguments as options, and every
  // argument of this program is a file.
  // The browser command talks to browsers over the per-user IPC stand-in.
  installWxDdeClient();
  SetAppName("Tessavo");
  SetVendorName("Marrowby");
  initLocale();
  // From here on the program ends through OnRun and OnExit, whatever
  // happens, so that everything made so far is cleaned up once.
  endedAtStart_ = kStartFailed;
  if (!startSockets()) return true;
  openSettings();

  std::vector<std::string> arguments = platform::programArguments();
  if (arguments.empty()) {
    // Without /proc, wx's decoded arguments are the next best.
    for (int i = 1; i < argc; ++i) arguments.push_back(fromWx(argv[i]));
  }
  if (handOverToRunning(arguments)) {
    endedAtStart_ = 0;
    return true;
  }
  registerDocumentType();
  if (!processCommandLine(arguments)) return true;
  becomeFirstInstance();
  endedAtStart_ = -1;
  return true;
}

int TessavoApp::OnRun() {
  if (endedAtStart_ >= 0) return endedAtStart_;
  return CAppWithHelp::OnRun();
}

bool TessavoApp::startSockets() {
  if (platform::startSocketLibrary() && wxSocketBase::Initialize()) return true;
  wxMessageBox(wxString::FromUTF8("ソケットの初期化に失敗"), "Tessavo", wxOK | wxICON_EXCLAMATION);
  return false;
}

bool TessavoApp::handOverToRunning(const std::vector<std::string>& arguments) {
  return prevInstance_.handOverToRunning(arguments);
}

void TessavoApp::registerDocumentType() {
  if (platform::isInstalledProgram()) return;
  const std::string executable = platform::executablePath();
  if (!executable.empty()) platform::registerDocumentType(executable, programIconSvg());
}

void TessavoApp::becomeFirstInstance() {
  if (frame_ == nullptr) return;
  prevInstance_.serve([this] { handedOver(std::string()); },
                      [this](const std::string& path) { handedOver(path); });
  frame_->SetDropTarget(new MainDropTarget(frame_->targetCollection()));
}

void TessavoApp::handedOver(const std::string& path) {
  if (frame_ == nullptr) return;
  if (path.empty()) {
    if (frame_->IsIconized()) frame_->Iconize(false);
    frame_->Show();
    frame_->Raise();
    return;
  }
  frame_->targetCollection().handOver(path);
}

bool TessavoApp::processCommandLine(const std::vector<std::string>& arguments) {
  const bool openWorkingSet =
      !arguments.empty() && FileName(arguments.front()).extension(true) == "tvx";
  // The document keeps the working set's full path, so that a later save
  // goes to the same file whatever the current folder then is.
  const wxString workingSet =
      openWorkingSet ? toWx(CPrevInstance::absolutePath(arguments.front())) : wxString();
  // The window appears only for a working set that loads: one that cannot
  // be read is told with no window behind the message, and one that is no
  // working set ends the start before a window has flashed up.
  if (openWorkingSet && !TessavoDoc::canOpen(workingSet)) return false;

  docManager_ = std::make_unique<TessavoDocManager>(settings_.get());
  docManager_->SetMaxDocsOpen(1);
  new wxDocTemplate(docManager_.get(), "TVX Working Set Files", "*.tvx", wxString(), "tvx",
                    "Tessavo.Document", "Tessavo Document", CLASSINFO(TessavoDoc),
                    CLASSINFO(TessavoView));

  frame_ = new CMainFrame(docManager_.get(), settings_.get());
  SetTopWindow(frame_);
  std::vector<std::string> files;
  for (std::size_t i = openWorkingSet ? 1 : 0; i < arguments.size(); ++i) {
    files.push_back(arguments[i]);
  }
  frame_->setCommandLineFiles(files);
  // Shown before the document fills the panes, so that the toolkit lays
  // them out at their real size first.
  frame_->Show();

  wxDocument* document = openWorkingSet
                             ? docManager_->CreateDocument(workingSet, wxDOC_SILENT)
                             : docManager_->CreateDocument(wxString(), wxDOC_NEW);
  if (document == nullptr) {
    discardWindow();
    return false;
  }
  frame_->filePane()->OnInitialUpdate();
  return true;
}

void TessavoApp::discardWindow() {
  if (frame_ == nullptr) return;
  if (TessavoDoc* document = frame_->document()) document->SetModifiedFlag(false);
  docManager_->CloseDocuments(true);
  frame_->Destroy();
  frame_ = nullptr;
  // The frame forwards its events to the document manager until it is
  // really deleted, so the manager goes only after it.
  DeletePendingObjects();
  docManager_->saveRecentFiles();
  docManager_.reset();
}

int TessavoApp::OnExit() {
  prevInstance_.release();
  if (docManager_) {
    docManager_->saveRecentFiles();
    docManager_.reset();
  }
  if (settings_) {
    settings_->Flush();
    settings_.reset();
  }
  return wxApp::OnExit();
}
