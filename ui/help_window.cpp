#include "ui/help_window.h"

#include <wx/display.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>
#include <wx/log.h>
#include <wx/sizer.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "ui/program_icon.h"
#include "ui/wx_text.h"
#include "viewers/process_starter.h"

namespace {

HelpWindow* openWindow = nullptr;

const wxSize kPreferredSize(720, 640);
// Room between the help window and the window it was opened for.
constexpr int kGap = 8;

// The page's bytes; nothing when it cannot be read.
std::optional<std::string> readPage(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

// The window's parser finds a place in the page only by an anchor's name,
// while pages of today mark places by any element's id: each element with an
// id gets a named anchor of the same name at its start.
std::string withNamedAnchors(const std::string& page) {
  static const std::regex elementWithId(
      R"re(<[A-Za-z][A-Za-z0-9]*(?:\s[^>]*?)?\sid\s*=\s*(?:"([^"]*)"|'([^']*)')[^>]*>)re",
      std::regex::icase);
  std::string result;
  auto last = page.cbegin();
  for (std::sregex_iterator match(page.cbegin(), page.cend(), elementWithId), end; match != end;
       ++match) {
    const std::string id = (*match)[1].matched ? (*match)[1].str() : (*match)[2].str();
    result.append(last, (*match)[0].second);
    result += "<a name=\"" + id + "\"></a>";
    last = (*match)[0].second;
  }
  result.append(last, page.cend());
  return result;
}

// Where a window of `size` opens beside `owner` (both on the screen) in the
// display's free `area`: to the owner's right where it fits, else to its
// left, else over it; shrunk and moved as needed to lie wholly in `area`.
wxRect placeBeside(const wxRect& owner, const wxSize& size, const wxRect& area) {
  wxRect placed(wxPoint(owner.GetRight() + 1 + kGap, owner.GetTop()),
                wxSize(std::min(size.GetWidth(), area.GetWidth()),
                       std::min(size.GetHeight(), area.GetHeight())));
  if (placed.GetRight() > area.GetRight()) {
    placed.SetX(owner.GetLeft() - kGap - placed.GetWidth());
    // Neither side has room: over the owner, a little down and right, so
    // that both title bars stay in sight.
    if (placed.GetLeft() < area.GetLeft()) placed.SetPosition(owner.GetTopLeft() + wxPoint(32, 32));
  }
  placed.SetX(std::clamp(placed.GetX(), area.GetLeft(), area.GetRight() + 1 - placed.GetWidth()));
  placed.SetY(std::clamp(placed.GetY(), area.GetTop(), area.GetBottom() + 1 - placed.GetHeight()));
  return placed;
}

}  // namespace

HelpWindow* HelpWindow::current() {
  return openWindow;
}

HelpWindow::HelpWindow(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, "Tessavo", wxDefaultPosition, kPreferredSize) {
  SetIcons(programIcons());
  if (parent != nullptr) {
    const int display = wxDisplay::GetFromWindow(parent);
    const wxRect area = wxDisplay(display != wxNOT_FOUND ? display : 0).GetClientArea();
    SetSize(placeBeside(parent->GetScreenRect(), kPreferredSize, area));
  }
  html_ = new wxHtmlWindow(this);
  // The page's title becomes the window's.
  html_->SetRelatedFrame(this, "%s");
  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(html_, 1, wxEXPAND);
  SetSizer(layout);
  html_->Bind(wxEVT_HTML_LINK_CLICKED, &HelpWindow::onLink, this);
  Bind(wxEVT_CHAR_HOOK, &HelpWindow::onKey, this);
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
  const std::string marked = withNamedAnchors(*bytes);
  wxString text = wxString::FromUTF8(marked.data(), marked.size());
  if (text.empty() && !marked.empty())
    text = wxString(marked.data(), wxConvISO8859_1, marked.size());
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

void HelpWindow::onKey(wxKeyEvent& event) {
  // Esc and Ctrl+W close the window, as in a browser's or viewer's window.
  const int key = event.GetKeyCode();
  if ((key == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE) ||
      ((key == 'W' || key == 'w') && event.GetModifiers() == wxMOD_CONTROL)) {
    Close();
    return;
  }
  event.Skip();
}
