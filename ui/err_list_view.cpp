#include "ui/err_list_view.h"

#include <algorithm>
#include <vector>

#include "ui/main_frame.h"
#include "ui/menus.h"
#include "ui/wx_text.h"

namespace {

constexpr long kLinesPerSync = 50000;

}  // namespace

ErrListView::ErrListView(wxWindow* parent, CMainFrame* frame) : ListBoxView(parent, frame) {}

ErrListView::~ErrListView() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}

void ErrListView::ClearLines() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    ++generation_;
  }
  if (wxThread::IsMain()) {
    syncWithModel();
  } else {
    requestSync();
  }
}

void ErrListView::AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) {
  Line line{text, std::move(item)};  // copied before the lock is taken
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
  }
  requestSync();
}

void ErrListView::requestSync() {
  // One pending call at a time: a run of 100,000 lines wakes the
  // user-interface thread once per pass, not once per line.
  if (syncPending_.exchange(true)) return;
  CallAfter([this] { syncWithModel(); });
}

void ErrListView::syncWithModel() {
  syncPending_.store(false);
  bool cleared = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (generation_ != shownGeneration_) {
      shownGeneration_ = generation_;
      measuredLines_ = 0;
      cleared = true;
    }
  }
  // Outside the lock: the control may ask for line texts, which locks.
  if (cleared) ListBoxView::ClearLines();
  long total = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // A clear in between has asked for the next pass, which resets.
    if (generation_ != shownGeneration_) return;
    total = static_cast<long>(lines_.size());
    const long end = std::min(total, measuredLines_ + kLinesPerSync);
    // Measured under the lock: the run may clear the lines meanwhile, and
    // measuring is a table look-up per character.
    for (long i = measuredLines_; i < end; ++i) measureLine(lines_[i].text);
    measuredLines_ = end;
  }
  showLineCount(measuredLines_);
  // A large backlog is shown in slices so that the window keeps answering.
  if (measuredLines_ < total) requestSync();
}

void ErrListView::RemoveLinesOf(const CheckTarget* target) {
  long count = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = lines_.begin(); it != lines_.end();) {
      if (it->item && it->item->target == target) {
        it = lines_.erase(it);
      } else {
        ++it;
      }
    }
    count = static_cast<long>(lines_.size());
    measuredLines_ = count;
  }
  selectLine(-1);
  showLineCount(count);
}

std::optional<ErrorItem> ErrListView::selectedItem() const {
  const long index = selectedLine();
  if (index < 0) return std::nullopt;
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation_ != shownGeneration_ || index >= static_cast<long>(lines_.size()) ||
      !lines_[index].item) {
    return std::nullopt;
  }
  return *lines_[index].item;
}

long ErrListView::lineCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<long>(lines_.size());
}

std::string ErrListView::lineText(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.at(index).text;
}

std::optional<ErrorItem> ErrListView::item(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Line& line = lines_.at(index);
  if (!line.item) return std::nullopt;
  return *line.item;
}

wxString ErrListView::lineTextForDisplay(long index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  // Lines of a newer generation than the control shows are drawn blank until
  // the pending sync resets the control.
  if (generation_ != shownGeneration_ || index < 0 || index >= static_cast<long>(lines_.size())) {
    return wxString();
  }
  return toWx(lines_[index].text);
}

wxMenu* ErrListView::createContextMenu() const {
  return createPaneMenu(PaneMenu::ErrorList);
}

void ErrListView::onLineActivated(long index) {
  selectLine(index);
  frame()->openSelectedErrorLine();
}
