#include "ui/list_box_view.h"

#include <wx/dcclient.h>
#include <wx/menu.h>

#include "ui/main_frame.h"
#include "ui/wx_text.h"

namespace {

// Room left and right of the text inside the column, as the control draws.
constexpr int kTextMargin = 8;

}  // namespace

ListBoxView::ListBoxView(wxWindow* parent, CMainFrame* frame, Selection selection)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxLC_REPORT | wxLC_VIRTUAL | wxLC_NO_HEADER | wxBORDER_SUNKEN |
                     (selection == Selection::Single ? wxLC_SINGLE_SEL : 0)),
      frame_(frame),
      bmpWidths_(0x10000, 0) {
  AppendColumn(wxString());
  SetItemCount(0);
  Bind(wxEVT_SIZE, &ListBoxView::onSize, this);
  Bind(wxEVT_CONTEXT_MENU, &ListBoxView::onContextMenu, this);
  Bind(wxEVT_LIST_ITEM_ACTIVATED, &ListBoxView::onActivated, this);
  Bind(wxEVT_SET_FOCUS, &ListBoxView::onFocus, this);
  Bind(wxEVT_LIST_ITEM_SELECTED, &ListBoxView::onSelected, this);
}

ListBoxView::~ListBoxView() = default;

void ListBoxView::ClearLines() {
  selectLine(-1);
  SetItemCount(0);
  extent_ = 0;
  fitColumn();
  Refresh();
}

long ListBoxView::selectedLine() const {
  settleLines();
  return rawSelectedLine();
}

long ListBoxView::rawSelectedLine() const {
  // Finding the selection in a virtual list walks every line, so the last
  // answer is kept and checked first.
  if (GetSelectedItemCount() == 0) return -1;
  if (selectionHint_ >= 0 && selectionHint_ < GetItemCount() &&
      GetItemState(selectionHint_, wxLIST_STATE_SELECTED) != 0) {
    return selectionHint_;
  }
  selectionHint_ = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  return selectionHint_;
}

std::vector<long> ListBoxView::selectedLines() const {
  settleLines();
  std::vector<long> lines;
  for (long index = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); index >= 0;
       index = GetNextItem(index, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    lines.push_back(index);
  }
  return lines;
}

void ListBoxView::selectLine(long index) {
  settleLines();
  const long previous = selectedLine();
  if (previous == index && GetSelectedItemCount() <= 1) return;
  if (GetSelectedItemCount() > 1) {
    // Item -1 stands for every line; a virtual list clears them at once.
    SetItemState(-1, 0, wxLIST_STATE_SELECTED);
  } else if (previous >= 0) {
    SetItemState(previous, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  }
  if (index >= 0 && index < GetItemCount()) {
    selectionHint_ = index;
    SetItemState(index, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                 wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  }
}

void ListBoxView::setListFont(const wxFont& font) {
  SetFont(font);
  std::fill(bmpWidths_.begin(), bmpWidths_.end(), 0);
  otherWidths_.clear();
  widestAscii_ = 0;
  Refresh();
}

int ListBoxView::characterWidth(wxUniChar::value_type c) {
  int* slot = c < 0x10000 ? &bmpWidths_[c] : &otherWidths_[c];
  if (*slot == 0) {
    int width = 0;
    int height = 0;
    GetTextExtent(wxString(wxUniChar(c)), &width, &height);
    // A character that draws nothing still occupies its slot as measured.
    *slot = width > 0 ? width : -1;
  }
  return *slot > 0 ? *slot : 0;
}

void ListBoxView::measureLine(const wxString& text) {
  int width = 0;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    width += characterWidth((*it).GetValue());
  }
  if (width > extent_) {
    extent_ = width;
    fitColumn();
  }
}

void ListBoxView::measureLine(const std::string& bytes) {
  if (widestAscii_ == 0) {
    for (wxUniChar::value_type c = 0x20; c < 0x7F; ++c) {
      widestAscii_ = std::max(widestAscii_, characterWidth(c));
    }
  }
  // No character is wider per byte than the widest ASCII character (a
  // double-width character takes two bytes or more), so a line this short
  // cannot widen the range; most lines of a run end here.
  if (static_cast<long long>(bytes.size()) * widestAscii_ <= extent_) return;
  int width = 0;
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (c >= 0x80) {
      measureLine(toWx(bytes));
      return;
    }
    width += characterWidth(c);
  }
  if (width > extent_) {
    extent_ = width;
    fitColumn();
  }
}

void ListBoxView::showLineCount(long count) {
  if (count != GetItemCount()) SetItemCount(count);
  Refresh();
}

void ListBoxView::moveSelection(long from, long to) {
  if (from == to) return;
  SetItemState(from, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  selectionHint_ = to;
  SetItemState(to, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
               wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

wxString ListBoxView::OnGetItemText(long item, long /*column*/) const {
  return lineTextForDisplay(item);
}

void ListBoxView::fitColumn() {
  const int wanted = std::max(extent_ + 2 * kTextMargin, GetClientSize().GetWidth());
  if (GetColumnWidth(0) != wanted) SetColumnWidth(0, wanted);
}

void ListBoxView::onSize(wxSizeEvent& event) {
  event.Skip();
  CallAfter([this] { fitColumn(); });
}

void ListBoxView::onContextMenu(wxContextMenuEvent& event) {
  long index = -1;
  wxPoint at = event.GetPosition();
  if (at == wxDefaultPosition) {
    // From the keyboard: the menu belongs to the selected line, if any.
    index = selectedLine();
    wxRect rect;
    if (index < 0 || !GetItemRect(index, rect)) return;
    at = rect.GetPosition();
  } else {
    at = ScreenToClient(at);
    int flags = 0;
    index = HitTest(at, flags);
    if (index < 0 || (flags & wxLIST_HITTEST_ONITEM) == 0) return;
  }
  // A click on a line of a selection of several keeps them (to copy them);
  // elsewhere it selects that line alone.
  if (GetSelectedItemCount() > 1 && GetItemState(index, wxLIST_STATE_SELECTED) != 0) {
    selectionHint_ = index;
  } else {
    selectLine(index);
  }
  frame_->setActivePane(this);
  std::unique_ptr<wxMenu> menu(createContextMenu());
  if (menu) PopupMenu(menu.get(), at);
}

void ListBoxView::onActivated(wxListEvent& event) {
  frame_->setActivePane(this);
  onLineActivated(event.GetIndex());
}

void ListBoxView::onSelected(wxListEvent& event) {
  // The line the user selected last is the one the commands act on.
  selectionHint_ = event.GetIndex();
  event.Skip();
}

void ListBoxView::onFocus(wxFocusEvent& event) {
  frame_->setActivePane(this);
  event.Skip();
}
