#include "ui/file_list_view.h"

#include <algorithm>

#include "engine/target_construction.h"
#include "ui/main_frame.h"
#include "ui/menus.h"
#include "ui/tessavo_doc.h"
#include "ui/wx_text.h"

FileListView::FileListView(wxWindow* parent, CMainFrame* frame) : ListBoxView(parent, frame) {}

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
  if (!target) return;
  const std::string text = target->location;
  AddLine(text, std::move(target));
  if (document_ != nullptr) document_->SetModifiedFlag(true);
}

long FileListView::AddLine(const std::string& text, std::unique_ptr<CheckTarget> target) {
  const wxString shown = toWx(text);
  Line line{text, shown.Lower(), std::move(target)};
  const auto at = std::upper_bound(
      lines_.begin(), lines_.end(), line.key,
      [](const wxString& key, const Line& other) { return key.compare(other.key) < 0; });
  const long index = static_cast<long>(at - lines_.begin());
  lines_.insert(at, std::move(line));
  showLineCount(lineCount());
  lineInserted(index);
  measureLine(shown);
  return index;
}

void FileListView::ClearLines() {
  lines_.clear();
  ListBoxView::ClearLines();
}

void FileListView::RemoveSelected() {
  const long index = selectedLine();
  if (index < 0 || index >= lineCount()) return;
  selectLine(-1);
  std::unique_ptr<CheckTarget> removed = std::move(lines_[index].target);
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
  return index >= 0 && index < lineCount() ? lines_[index].target.get() : nullptr;
}

std::vector<CheckTarget*> FileListView::targets() const {
  std::vector<CheckTarget*> all;
  all.reserve(lines_.size());
  for (const Line& line : lines_) all.push_back(line.target.get());
  return all;
}

wxString FileListView::lineTextForDisplay(long index) const {
  return index >= 0 && index < lineCount() ? toWx(lines_[index].text) : wxString();
}

wxMenu* FileListView::createContextMenu() const {
  return createPaneMenu(PaneMenu::FileList);
}

void FileListView::onLineActivated(long index) {
  selectLine(index);
  frame()->StartCheck(CMainFrame::CheckScope::Selected);
}
