// The error pane: what the last check wrote, in the order it was written.
//
// The checking thread writes here through the ErrorPane operations. Lines and
// their ErrorItems live in a model behind one mutex: AddLine appends to it
// before it returns, so every line of a run is in the model once the run has
// ended, and ClearLines frees the items under the same lock. The control
// learns of new lines on the user-interface thread only (a coalesced
// CallAfter), so it never blocks the run and the run never waits for it.
// Each clear starts a new generation; a selection made in an older
// generation counts as no selection, so the user-interface thread never
// follows an item that a clear has freed (it only ever copies an item out
// under the lock, too).
//
// Ownership: the pane owns every ErrorItem. Threads: ClearLines and AddLine
// from any thread; everything else on the user-interface thread.
#ifndef TESSAVO_UI_ERR_LIST_VIEW_H_
#define TESSAVO_UI_ERR_LIST_VIEW_H_

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/error_pane.h"
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

  // The model's lines, for tests and the frame.
  long lineCount() const;
  std::string lineText(long index) const;
  std::optional<ErrorItem> item(long index) const;

 protected:
  wxString lineTextForDisplay(long index) const override;
  wxMenu* createContextMenu() const override;
  void onLineActivated(long index) override;

 private:
  struct Line {
    std::string text;
    std::unique_ptr<ErrorItem> item;
  };

  void requestSync();

  mutable std::mutex mutex_;
  std::deque<Line> lines_;        // guarded by mutex_
  std::uint64_t generation_ = 0;  // guarded by mutex_; counts clears

  // User-interface thread only: what the control shows.
  std::uint64_t shownGeneration_ = 0;
  long measuredLines_ = 0;

  std::atomic<bool> syncPending_{false};
};

#endif  // TESSAVO_UI_ERR_LIST_VIEW_H_
