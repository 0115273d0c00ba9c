#include "ui/file_list_view.h"

#include <algorithm>

#include "engine/target_construction.h"
#include "files/target_order.h"
#include "ui/main_frame.h"
#include "ui/menus.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"

FileListView::FileListView(wxWindow* parent, CMainFrame* frame)
    : ListBoxView(parent, frame, Selection::Single) {}

FileListView::~FileListView() {
  lines_.clear();
}

void FileListView::AddFile(const std::string& path) {
  addTarget(targetFromPath(path));
}

void FileListView::AddUri(const std::string& text) {
  addTarget(targetFromUri(text));
}

void FileListView::addTarget(std::unique_ptr<CheckTarget> target) {
  if (target) {
    const std::string text = target->location;
    AddLine(text, std::move(target));
  }
  // Even a text that makes no target (an ftp shortcut, an unknown scheme)
  // was an addition the user made: the set counts as changed.
  if (document_ != nullptr) document_->SetModifiedFlag(true);
}

void FileListView::AddLine(const std::string& text, std::unique_ptr<CheckTarget> target) {
  added_.push_back(std::make_unique<Line>(Line{text, targetSortKey(text), std::move(target)}));
  showLineCount(lineCount());
  measureLine(text);
}

const std::vector<std::unique_ptr<FileListView::Line>>& FileListView::sorted() const {
  if (added_.empty()) return lines_;
  // The selection belongs to a line, not to an index.
  const long selectedIndex = rawSelectedLine();
  const Line* selected = selectedIndex >= 0 && selectedIndex < static_cast<long>(lines_.size())
                             ? lines_[selectedIndex].get()
                             : nullptr;
  auto byKey = [](const std::unique_ptr<Line>& a, const std::unique_ptr<Line>& b) {
    return a->key < b->key;
  };
  std::stable_sort(added_.begin(), added_.end(), byKey);
  std::vector<std::unique_ptr<Line>> merged;
  merged.reserve(lines_.size() + added_.size());
  // On equal keys std::merge takes the earlier lines first.
  std::merge(std::make_move_iterator(lines_.begin()), std::make_move_iterator(lines_.end()),
             std::make_move_iterator(added_.begin()), std::make_move_iterator(added_.end()),
             std::back_inserter(merged), byKey);
  lines_ = std::move(merged);
  added_.clear();
  if (selected != nullptr) {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].get() == selected) {
        const_cast<FileListView*>(this)->moveSelection(selectedIndex, static_cast<long>(i));
        break;
      }
    }
  }
  return lines_;
}

void FileListView::ClearLines() {
  lines_.clear();
  added_.clear();
  ListBoxView::ClearLines();
}

void FileListView::RemoveSelected() {
  const long index = selectedLine();
  if (index < 0 || index >= lineCount()) return;
  selectLine(-1);
  sorted();
  std::unique_ptr<CheckTarget> removed = std::move(lines_[index]->target);
  lines_.erase(lines_.begin() + index);
  showLineCount(lineCount());
  frame()->targetRemoved(removed.get());
  removed.reset();
  if (document_ != nullptr) document_->SetModifiedFlag(true);
}

void FileListView::OnInitialUpdate() {
  frame()->OnFileListInitialUpdate();
}

CheckTarget* FileListView::selectedTarget() const {
  const long index = selectedLine();
  return index >= 0 && index < lineCount() ? sorted()[index]->target.get() : nullptr;
}

std::vector<CheckTarget*> FileListView::targets() const {
  std::vector<CheckTarget*> all;
  all.reserve(lines_.size());
  for (const auto& line : sorted()) all.push_back(line->target.get());
  return all;
}

wxString FileListView::lineTextForDisplay(long index) const {
  return index >= 0 && index < lineCount() ? toWx(sorted()[index]->text) : wxString();
}

wxMenu* FileListView::createContextMenu() const {
  return createPaneMenu(PaneMenu::FileList);
}

void FileListView::onLineActivated(long index) {
  selectLine(index);
  frame()->StartCheck(CMainFrame::CheckScope::Selected);
}
