// The main frame's viewer commands: the editor, the browser with its popup
// of browser windows, the help page and the about box (see main_frame.h).
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/utils.h>

#include "ui/about_dlg.h"
#include "ui/app_with_help.h"
#include "ui/command_ids.h"
#include "ui/err_list_view.h"
#include "ui/main_frame.h"
#include "ui/menus.h"
#include "ui/wx_text.h"
#include "viewers/editor_launcher.h"
#include "viewers/netscape.h"
#include "viewers/process_starter.h"

void CMainFrame::onOpenEditor(wxCommandEvent&) {
  OnOpenEditor();
}

void CMainFrame::OnOpenEditor() {
  const std::optional<Selection> selected = selection();
  if (!selected) return;
  openInEditor(editorCommand_, selected->target, selected->line, systemProcessStarter(),
               startFailures_.report("エディタを起動できません: "));
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
                                   systemShellOpener(),
                                   startFailures_.report("ブラウザを起動できません: "));
  }
  if (outcome != BrowserCommand::Outcome::ShowMenu) return;

  browserMenu_ = std::make_unique<wxMenu>();
  for (const BrowserMenuEntry& entry : browserCommand_.menuEntries()) {
    appendCommand(browserMenu_.get(), commandId(entry.command), toWx(entry.label));
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
