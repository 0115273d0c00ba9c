#include "ui/err_list_view.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <algorithm>
#include <vector>

#include "ui/main_frame.h"
#include "ui/menus.h"
#include "ui/wx_text.h"

namespace {

constexpr long kLinesPerSync = 20000;

}  // namespace

ErrListView::ErrListView(wxWindow* parent, CMainFrame* frame)
    : ListBoxView(parent, frame, Selection::Extended) {
  model_.setChangeListener([this] { requestSync(); });
  // The list hands the keys pressed in it to this window first.
  Bind(wxEVT_KEY_DOWN, &ErrListView::onKeyDown, this);
}

ErrListView::~ErrListView() {
  model_.setChangeListener(nullptr);
  model_.clear();
}

void ErrListView::ClearLines() {
  model_.clear();
  if (wxThread::IsMain()) syncWithModel();
}

void ErrListView::AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) {
  model_.add(text, std::move(item));
}

void ErrListView::requestSync() {
  // One pending call at a time: a run of 100,000 lines wakes the
  // user-interface thread once per pass, not once per line.
  if (syncPending_.exchange(true)) return;
  CallAfter([this] { syncWithModel(); });
}

bool ErrListView::followsNewestLine() const {
  const long shown = GetItemCount();
  if (shown == 0) return true;
  return GetTopItem() + GetCountPerPage() >= shown;
}

void ErrListView::syncWithModel() {
  syncPending_.store(false);
  const bool follow = followsNewestLine();
  const std::uint64_t generation = model_.generation();
  if (generation != shownGeneration_) {
    shownGeneration_ = generation;
    measuredLines_ = 0;
    ListBoxView::ClearLines();
  }
  const long total = model_.size();
  const long end = std::min(total, measuredLines_ + kLinesPerSync);
  // Measured under the model's lock: the run may clear the lines meanwhile,
  // and measuring is a table look-up per character. A clear in between has
  // asked for the next pass, which resets.
  if (!model_.visit(generation, measuredLines_, end,
                    [this](const std::string& text) { measureLine(text); })) {
    return;
  }
  measuredLines_ = std::min(end, total);
  showLineCount(measuredLines_);
  if (follow && measuredLines_ > 0) EnsureVisible(measuredLines_ - 1);
  // A large backlog is shown in slices so that the window keeps answering.
  if (measuredLines_ < model_.size()) requestSync();
  frame()->errorPaneSynced();
}

void ErrListView::RemoveLinesOf(const CheckTarget* target) {
  model_.removeLinesOf(target);
  measuredLines_ = model_.size();
  selectLine(-1);
  showLineCount(measuredLines_);
}

std::optional<ErrorItem> ErrListView::selectedItem() const {
  const long index = selectedLine();
  if (index < 0) return std::nullopt;
  return model_.itemIn(shownGeneration_, index);
}

std::string ErrListView::selectedText() const {
  const std::optional<std::vector<std::string>> texts =
      model_.textsIn(shownGeneration_, selectedLines());
  std::string joined;
  if (!texts) return joined;
  for (const std::string& text : *texts) joined += text + '\n';
  return joined;
}

bool ErrListView::copySelection() {
  const std::string text = selectedText();
  if (text.empty()) return false;
  wxClipboardLocker clipboard;
  if (!clipboard) return false;
  return wxTheClipboard->SetData(new wxTextDataObject(toWx(text)));
}

void ErrListView::onKeyDown(wxKeyEvent& event) {
  if (event.GetModifiers() == wxMOD_CONTROL && event.GetKeyCode() == 'C') {
    copySelection();
    return;
  }
  event.Skip();
}

wxString ErrListView::lineTextForDisplay(long index) const {
  // Lines of a newer generation than the control shows are drawn blank until
  // the pending sync resets the control.
  const std::optional<std::string> text = model_.textIn(shownGeneration_, index);
  return text ? toWx(*text) : wxString();
}

wxMenu* ErrListView::createContextMenu() const {
  return createPaneMenu(PaneMenu::ErrorList);
}

void ErrListView::onLineActivated(long index) {
  selectLine(index);
  frame()->openSelectedErrorLine();
}
