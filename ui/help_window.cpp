#include "ui/help_window.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>
#include <wx/log.h>
#include <wx/sizer.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "ui/program_icon.h"
#include "ui/wx_text.h"
#include "viewers/process_starter.h"

namespace {

HelpWindow* openWindow = nullptr;

// The page's bytes; nothing when it cannot be read.
std::optional<std::string> readPage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

}  // namespace

HelpWindow* HelpWindow::current() {
  return openWindow;
}

HelpWindow::HelpWindow(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, "Tessavo", wxDefaultPosition, wxSize(720, 640)) {
  SetIcons(programIcons());
  html_ = new wxHtmlWindow(this);
  // The page's title becomes the window's.
  html_->SetRelatedFrame(this, "%s");
  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(html_, 1, wxEXPAND);
  SetSizer(layout);
  html_->Bind(wxEVT_HTML_LINK_CLICKED, &HelpWindow::onLink, this);
  openWindow = this;
}

HelpWindow::~HelpWindow() {
  if (openWindow == this) openWindow = nullptr;
}

bool HelpWindow::show(wxWindow* parent, const std::string& page) {
  if (!readPage(page)) return false;
  const bool made = openWindow == nullptr;
  HelpWindow* window = made ? new HelpWindow(parent) : openWindow;
  if (!window->load(page)) {
    if (made) window->Destroy();
    return false;
  }
  window->Show();
  window->Raise();
  return true;
}

bool HelpWindow::load(const std::string& page) {
  const std::optional<std::string> bytes = readPage(page);
  if (!bytes) return false;
  // The window's parser knows the character set only from an old-style
  // Content-Type meta element; the page is read here, as UTF-8 (what the
  // program's pages are written in) or, failing that, byte for byte.
  wxString text = wxString::FromUTF8(bytes->data(), bytes->size());
  if (text.empty() && !bytes->empty())
    text = wxString(bytes->data(), wxConvISO8859_1, bytes->size());
  // The window's own complaints would be a second message after ours.
  wxLogNull quiet;
  if (!html_->SetPage(text)) return false;
  page_ = page;
  return true;
}

void HelpWindow::onLink(wxHtmlLinkEvent& event) {
  const wxString target = event.GetLinkInfo().GetHref();
  if (target.StartsWith("#")) {
    event.Skip();  // a place in the page: the window scrolls there
    return;
  }
  if (target.Contains(":")) {
    systemShellOpener().open(fromWx(target), startFailures_.report("ブラウザを起動できません: "));
    return;
  }
  // Another page beside this one.
  wxFileName next(target);
  next.MakeAbsolute(wxPathOnly(toWx(page_)));
  load(fromWx(next.GetFullPath().BeforeFirst('#')));
}
