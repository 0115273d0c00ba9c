#include "ui/app_with_help.h"

#include <wx/msgdlg.h>

#include <vector>

#include "platform/ascii_case.h"
#include "platform/directory_listing.h"
#include "platform/executable_path.h"
#include "platform/html_handler.h"
#include "platform/process.h"
#include "ui/help_window.h"
#include "viewers/process_starter.h"

namespace {

const char kHelpPage[] = "index.htm";

}  // namespace

CAppWithHelp::CAppWithHelp() : opener_(&systemShellOpener()) {}

std::string CAppWithHelp::findHelpPage() const {
  const std::string folder = helpFolder_.empty() ? platform::programDataFolder() : helpFolder_;
  std::vector<platform::DirectoryEntry> entries;
  if (folder.empty() || !platform::listDirectory(folder, &entries)) return std::string();
  for (const platform::DirectoryEntry& entry : entries) {
    if (!entry.isFolder && platform::equalsIgnoringAsciiCase(entry.name, kHelpPage))
      return folder + entry.name;
  }
  return std::string();
}

void CAppWithHelp::showHelp() {
  wxWindow* parent = GetTopWindow();
  const std::string page = findHelpPage();
  if (page.empty()) {
    wxMessageBox(wxString::FromUTF8("ヘルプ（HTML）ファイルが見つかりません。実行ファイルと同じフ"
                                    "ォルダに置いてください。"),
                 "Tessavo", wxOK | wxICON_EXCLAMATION, parent);
    return;
  }
  const char kCannotOpen[] = "ヘルプ (HTML) ファイルを開けません";
  if (desktopShowsHelp()) {
    opener_->open(page, startFailures_.report(std::string(kCannotOpen) + ": "));
  } else if (!HelpWindow::show(parent, page)) {
    wxMessageBox(wxString::FromUTF8(kCannotOpen), "Tessavo", wxOK | wxICON_EXCLAMATION, parent);
  }
}

bool CAppWithHelp::desktopShowsHelp() {
  return platform::htmlOpensInWebBrowser() && !platform::findProgram("xdg-open").empty();
}
