// The common part of the two panes of the main window: a single-column list
// control in virtual mode, whose lines live in a model kept by the subclass,
// and whose horizontal scroll range grows to the widest line added since the
// last clear. The file pane selects one line at a time; the error pane lets
// the user extend the selection (Shift, Ctrl) to copy lines, and its
// commands act on the line selected last.
//
// The control asks the subclass for the text of the lines it shows (a
// virtual list draws only what is on screen, so 100,000 lines cost nothing
// until seen). Widths are summed from a per-character cache of the font's
// advance widths, so measuring a line costs a table look-up per character.
//
// Ownership: the window belongs to its parent (the splitter); the subclass
// owns each line's data and frees it in ClearLines and when a line goes.
// Threads: the window and everything here run on the user-interface thread;
// ErrListView adds its own locking for the checking thread.
#ifndef TESSAVO_UI_LIST_BOX_VIEW_H_
#define TESSAVO_UI_LIST_BOX_VIEW_H_

#include <wx/listctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

class CMainFrame;
class wxMenu;

class ListBoxView : public wxListCtrl {
 public:
  enum class Selection { Single, Extended };
  ListBoxView(wxWindow* parent, CMainFrame* frame, Selection selection);
  ~ListBoxView() override;

  // Removes every line and lets the pane start narrow again. A subclass frees
  // its line data first, then calls this.
  virtual void ClearLines();

  // The line selected in the control, or -1; of several, the one the user
  // selected last (or else the first).
  long selectedLine() const;
  // Every selected line, in line order.
  std::vector<long> selectedLines() const;
  // Selects one line alone (and makes it current), or none for -1.
  void selectLine(long index);

  // The width in pixels that the scroll range covers.
  int horizontalExtent() const { return extent_; }

  // Sets the font of the lines and redraws. The extent is left as it is;
  // only added lines widen it.
  void setListFont(const wxFont& font);

  // The number of lines the control shows.
  long shownLineCount() const { return GetItemCount(); }

 protected:
  CMainFrame* frame() const { return frame_; }

  // The text of line `index` of the model, for drawing.
  virtual wxString lineTextForDisplay(long index) const = 0;
  // The context menu of the pane, or null for none.
  virtual wxMenu* createContextMenu() const = 0;
  // A double click (or Enter) on line `index`, which is already selected.
  virtual void onLineActivated(long index) = 0;

  // Widens the scroll range so that `text` fits.
  void measureLine(const wxString& text);
  // The same for a line in the program's code page; ASCII lines are measured
  // without converting them.
  void measureLine(const std::string& bytes);
  // Tells the control how many lines there are.
  void showLineCount(long count);
  // Brings the subclass's line order up to date before an index is used.
  virtual void settleLines() const {}
  // The selected index as the control holds it, without settling.
  long rawSelectedLine() const;
  // Moves the selection from one index to another (its line moved).
  void moveSelection(long from, long to);

 private:
  wxString OnGetItemText(long item, long column) const override;

  void onSize(wxSizeEvent& event);
  void onContextMenu(wxContextMenuEvent& event);
  void onActivated(wxListEvent& event);
  void onFocus(wxFocusEvent& event);
  void onSelected(wxListEvent& event);
  void fitColumn();
  int characterWidth(wxUniChar::value_type c);

  CMainFrame* frame_;  // not owned
  int extent_ = 0;
  mutable long selectionHint_ = -1;
  // Advance widths of the current font by code point; 0 = not measured yet.
  std::vector<int> bmpWidths_;
  std::unordered_map<wxUniChar::value_type, int> otherWidths_;
  int widestAscii_ = 0;  // 0 = not measured for the current font
};

#endif  // TESSAVO_UI_LIST_BOX_VIEW_H_
