#include "ui/tessavo_app.h"
#include "ui/ipc/wx_dde_client.h"

#include <wx/config.h>
#include <wx/docview.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/socket.h>

#include <cstdlib>

#include "files/file_name.h"
#include "files/target_collection.h"
#include "platform/desktop_registration.h"
#include "platform/executable_path.h"
#include "platform/program_arguments.h"
#include "platform/settings_location.h"
#include "platform/socket_library.h"
#include "ui/drop_target.h"
#include "ui/main_frame.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"

namespace {

constexpr int kRecentFiles = 4;
const wxString kRecentGroup = "Recent File List";

// The recent-file list under the profile's own value names, "File1" to
// "File4".
void loadRecentFiles(wxConfigBase* config, wxFileHistory* history) {
  for (int i = kRecentFiles; i >= 1; --i) {
    wxString path;
    if (config->Read(wxString::Format("%s/File%d", kRecentGroup, i), &path) && !path.empty()) {
      history->AddFileToHistory(path);
    }
  }
}

void saveRecentFiles(wxConfigBase* config, const wxFileHistory* history) {
  config->DeleteGroup(kRecentGroup);
  for (size_t i = 0; i < history->GetCount(); ++i) {
    config->Write(wxString::Format("%s/File%d", kRecentGroup, static_cast<int>(i + 1)),
                  history->GetHistoryFile(i));
  }
  config->Flush();
}

// The framework's document manager, with a recent-file list of four entries
// and no menu of its own.
class TessavoDocManager : public wxDocManager {
 public:
  // The base would make its history in its own constructor, where this
  // class's OnCreateFileHistory is not yet called, and get nine entries.
  TessavoDocManager() : wxDocManager(0, false) { Initialize(); }

  wxFileHistory* OnCreateFileHistory() override { return new wxFileHistory(kRecentFiles); }
};

}  // namespace

TessavoApp::TessavoApp() = default;

TessavoApp::~TessavoApp() {
  if (settings_ && wxConfigBase::Get(false) == settings_.get()) wxConfigBase::Set(nullptr);
}

void TessavoApp::openSettings() {
  if (settings_ && wxConfigBase::Get(false) == settings_.get()) wxConfigBase::Set(nullptr);
  const wxString path = toWx(platform::settingsFilePath());
  wxFileName::Mkdir(wxPathOnly(path), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
  settings_ = std::make_unique<wxFileConfig>("Tessavo", "Marrowby", path, wxString(),
                                             wxCONFIG_USE_LOCAL_FILE);
  wxConfigBase::Set(settings_.get());
}

bool TessavoApp::OnInit() {
  // No wxApp::OnInit: it would read the arguments as options, and every
  // argument of this program is a file.
  // The browser command talks to browsers over the per-user IPC stand-in.
  installWxDdeClient();
  SetAppName("Tessavo");
  SetVendorName("Marrowby");
  if (!startSockets()) return false;
  openSettings();

  std::vector<std::string> arguments = platform::programArguments();
  if (arguments.empty()) {
    // Without /proc, wx's decoded arguments are the next best.
    for (int i = 1; i < argc; ++i) arguments.push_back(fromWx(argv[i]));
  }
  if (handOverToRunning(arguments)) {
    handedOver_ = true;
    return true;  // OnRun ends at once, and the exit status says success
  }
  registerDocumentType();
  if (!processCommandLine(arguments)) return false;
  becomeFirstInstance();

  // The screenshot script checks the sample working set once the window is
  // up; this is not a user option, only the script sets it.
  if (const char* marker = std::getenv("TESSAVO_CHECK_DONE_MARKER"); marker && *marker) {
    frame_->setCheckDoneMarker(marker);
    frame_->CallAfter([this] { frame_->StartCheck(CMainFrame::CheckScope::All); });
  }
  return true;
}

int TessavoApp::OnRun() {
  if (handedOver_) return 0;
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
  if (!executable.empty()) platform::registerDocumentType(executable);
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
  docManager_ = std::make_unique<TessavoDocManager>();
  docManager_->SetMaxDocsOpen(1);
  new wxDocTemplate(docManager_.get(), "TVX Working Set Files", "*.tvx", wxString(), "tvx",
                    "Tessavo.Document", "Tessavo Document", CLASSINFO(TessavoDoc),
                    CLASSINFO(TessavoView));
  loadRecentFiles(settings_.get(), docManager_->GetFileHistory());

  frame_ = new CMainFrame(docManager_.get(), settings_.get());
  SetTopWindow(frame_);
  std::vector<std::string> files;
  const bool openWorkingSet =
      !arguments.empty() && FileName(arguments.front()).extension(true) == "tvx";
  for (std::size_t i = openWorkingSet ? 1 : 0; i < arguments.size(); ++i) {
    files.push_back(arguments[i]);
  }
  frame_->setCommandLineFiles(files);
  // Shown before the document fills the panes, so that the toolkit lays
  // them out at their real size first.
  frame_->Show();

  wxDocument* document = openWorkingSet
                             ? docManager_->CreateDocument(toWx(arguments.front()), wxDOC_SILENT)
                             : docManager_->CreateDocument(wxString(), wxDOC_NEW);
  if (document == nullptr) {
    frame_->Destroy();
    frame_ = nullptr;
    return false;
  }
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
  saveRecentFiles(settings_.get(), docManager_->GetFileHistory());
  docManager_.reset();
}

int TessavoApp::OnExit() {
  prevInstance_.release();
  if (docManager_) {
    saveRecentFiles(settings_.get(), docManager_->GetFileHistory());
    docManager_.reset();
  }
  if (settings_) {
    settings_->Flush();
    if (wxConfigBase::Get(false) == settings_.get()) wxConfigBase::Set(nullptr);
    settings_.reset();
  }
  return wxApp::OnExit();
}
