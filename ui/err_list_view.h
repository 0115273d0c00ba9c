// The error pane: what the last check wrote, in the order it was written.
//
// The lines and their ErrorItems live in an ErrListModel (ui/err_list_model.h,
// no wx), which the checking thread writes through the ErrorPane operations;
// AddLine puts a line in the model before it returns, so every line of a run
// is there once the run has ended. The control learns of changes on the
// user-interface thread only (a coalesced CallAfter), so it never blocks the
// run and the run never waits for it. A selection made in an older
// generation of the model counts as no selection, so the user-interface
// thread never follows an item that a clear has freed (it only ever copies
// an item out under the model's lock, too).
//
// While its last line is in view, the pane follows the newest line; once the
// user scrolls away it stays where it is. Lines can be selected together
// (Shift, Ctrl) and copied as text (Ctrl+C, "コピー"); the commands that open
// or check a target act on the line selected last.
//
// Ownership: the pane owns the model and, through it, every ErrorItem.
// Threads: ClearLines and AddLine from any thread; everything else on the
// user-interface thread.
#ifndef TESSAVO_UI_ERR_LIST_VIEW_H_
#define TESSAVO_UI_ERR_LIST_VIEW_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/error_pane.h"
#include "ui/err_list_model.h"
#include "ui/list_box_view.h"

class ErrListView : public ListBoxView, public ErrorPane {
 public:
  ErrListView(wxWindow* parent, CMainFrame* frame);
  ~ErrListView() override;

  void ClearLines() override;
  void AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) override;

  // Brings the control up to date with the model now. User-interface thread.
  void syncWithModel();

  // Removes the lines whose item refers to `target` (which is about to be
  // freed). Only while no run writes. User-interface thread.
  void RemoveLinesOf(const CheckTarget* target);

  // A copy of the selected line's ErrorItem; nothing when no line of the
  // current generation is selected or the line carries no item.
  std::optional<ErrorItem> selectedItem() const;

  // The selected lines' texts, one per line, each ended by a line feed, in
  // the program's code page; empty when nothing is selected.
  std::string selectedText() const;
  // Puts the selected lines on the clipboard; false when nothing is
  // selected or the clipboard cannot be opened.
  bool copySelection();

  // The model's lines, for tests and the frame.
  long lineCount() const { return model_.size(); }
  std::string lineText(long index) const { return model_.text(index); }
  std::optional<ErrorItem> item(long index) const { return model_.item(index); }
  ErrListModel::Progress progress() const { return model_.progress(); }

  // True while the last line is in view, so that new lines scroll into view.
  bool followsNewestLine() const;

 protected:
  wxString lineTextForDisplay(long index) const override;
  wxMenu* createContextMenu() const override;
  void onLineActivated(long index) override;

 private:
  void requestSync();
  void onKeyDown(wxKeyEvent& event);

  ErrListModel model_;

  // User-interface thread only: what the control shows.
  std::uint64_t shownGeneration_ = 0;
  long measuredLines_ = 0;

  std::atomic<bool> syncPending_{false};
};

#endif  // TESSAVO_UI_ERR_LIST_VIEW_H_
