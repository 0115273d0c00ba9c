// The file pane: the working set, one line per check target, kept in the
// working set's order (files/target_order.h), which the headless checker
// shares.
//
// Ownership: the pane owns every CheckTarget (one per line) and deletes it
// when its line goes (ClearLines, RemoveSelected, destruction). Targets are
// made only here, by AddFile and AddUri. The checking thread reads the
// targets during a run; the frame keeps every command that removes targets
// disabled meanwhile. User-interface thread only.
#ifndef TESSAVO_UI_FILE_LIST_VIEW_H_
#define TESSAVO_UI_FILE_LIST_VIEW_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/check_target.h"
#include "files/target_sink.h"
#include "ui/list_box_view.h"

class TessavoDoc;

class FileListView : public ListBoxView, public TargetSink {
 public:
  FileListView(wxWindow* parent, CMainFrame* frame);
  ~FileListView() override;

  // Builds a target from a local path (or an Internet shortcut) or from a
  // URI text, adds its line and marks the document modified. Text that makes
  // no target adds no line but still marks the document modified.
  void AddFile(const std::string& path) override;
  void AddUri(const std::string& text) override;

  // Adds a line at its sorted place and takes the target. Equal texts keep
  // the order in which they came.
  void AddLine(const std::string& text, std::unique_ptr<CheckTarget> target);

  void ClearLines() override;

  // Deletes the selected line and its target, tells the frame (so that no
  // error line keeps pointing at it) and marks the document modified.
  void RemoveSelected();

  // Called after every New and Open of a working set.
  void OnInitialUpdate();

  void setDocument(TessavoDoc* document) { document_ = document; }

  long lineCount() const { return static_cast<long>(lines_.size() + added_.size()); }
  std::string lineText(long index) const { return sorted().at(index)->text; }
  CheckTarget* target(long index) const { return sorted().at(index)->target.get(); }
  // The selected line's target, or null.
  CheckTarget* selectedTarget() const;
  // Every target, in line order.
  std::vector<CheckTarget*> targets() const;

 protected:
  wxString lineTextForDisplay(long index) const override;
  void settleLines() const override { sorted(); }
  wxMenu* createContextMenu() const override;
  void onLineActivated(long index) override;

 private:
  struct Line {
    std::string text;
    std::string key;  // targetSortKey(text)
    std::unique_ptr<CheckTarget> target;
  };

  void addTarget(std::unique_ptr<CheckTarget> target);
  // The lines in order, after merging those added since the last call.
  const std::vector<std::unique_ptr<Line>>& sorted() const;

  // Sorted lines, and lines added since they were last sorted. Adding one
  // by one into the sorted order would move half the lines each time (a
  // folder of 10,000 files); new lines wait here until someone looks, and
  // then go in with one merge. Both are mutable because looking sorts.
  mutable std::vector<std::unique_ptr<Line>> lines_;
  mutable std::vector<std::unique_ptr<Line>> added_;
  TessavoDoc* document_ = nullptr;  // not owned
};

#endif  // TESSAVO_UI_FILE_LIST_VIEW_H_
