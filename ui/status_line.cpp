#include "ui/status_line.h"

#include <wx/frame.h>
#include <wx/statusbr.h>
#include <wx/utils.h>

#include "ui/command_ids.h"

namespace {

constexpr int kMessageField = 0;
constexpr int kIndicatorPollMs = 300;

}  // namespace

wxString StatusLine::readyText() {
  return wxString::FromUTF8("ﾚﾃﾞｨ");
}

wxString StatusLine::waitingText(std::size_t count) {
  // Every arrival that waits (a drop, a handed-over file or working set)
  // replaces the working set when it is applied; several are applied in
  // turn, so the last one decides what remains.
  wxString text = wxString::FromUTF8("検査中です。終了後に、受け取ったファイルで検査対象を置き換えます");
  if (count > 1) {
    text += wxString::Format(wxString::FromUTF8(" (%u 件、受け取った順に)"),
                             static_cast<unsigned>(count));
  }
  return text;
}

StatusLine::StatusLine(wxFrame* frame) : frame_(frame), indicatorTimer_(this) {
  wxStatusBar* bar = frame_->CreateStatusBar(5, wxSTB_DEFAULT_STYLE, ID_VIEW_STATUS_BAR);
  const char* indicators[] = {"ｶﾅ", "CAP", "NUM", "SCRL"};
  int widths[5] = {-1, 0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    widths[i + 1] = bar->GetTextExtent(wxString::FromUTF8(indicators[i])).GetWidth() + 16;
  }
  bar->SetStatusWidths(5, widths);
  // The frame's own menu help would write into field 0 behind our back; the
  // frame hands its prompts here instead.
  frame_->SetStatusBarPane(-1);
  resting_ = readyText();
  refresh();
  Bind(wxEVT_TIMER, &StatusLine::onIndicatorTimer, this, indicatorTimer_.GetId());
  indicatorTimer_.Start(kIndicatorPollMs);
}

StatusLine::~StatusLine() {
  indicatorTimer_.Stop();
}

void StatusLine::showReady() {
  showResting(readyText());
}

void StatusLine::showResting(const wxString& text) {
  resting_ = text;
  refresh();
}

void StatusLine::showPrompt(const wxString& prompt) {
  prompt_ = prompt;
  prompting_ = true;
  refresh();
}

void StatusLine::endPrompt() {
  if (!prompting_) return;
  prompting_ = false;
  refresh();
}

void StatusLine::showWaiting(std::size_t count) {
  waiting_ = count;
  refresh();
}

wxString StatusLine::message() const {
  if (prompting_) return prompt_;
  if (waiting_ > 0) return waitingText(waiting_);
  return resting_;
}

void StatusLine::refresh() {
  wxStatusBar* bar = frame_->GetStatusBar();
  if (bar == nullptr) return;
  const wxString text = message();
  if (bar->GetStatusText(kMessageField) != text) bar->SetStatusText(text, kMessageField);
}

void StatusLine::onIndicatorTimer(wxTimerEvent&) {
  wxStatusBar* bar = frame_->GetStatusBar();
  if (bar == nullptr) return;
  const struct {
    int field;
    wxKeyCode key;
    const char* label;
  } indicators[] = {{2, WXK_CAPITAL, "CAP"}, {3, WXK_NUMLOCK, "NUM"}, {4, WXK_SCROLL, "SCRL"}};
  for (const auto& indicator : indicators) {
    const wxString shown = wxGetKeyState(indicator.key) ? wxString(indicator.label) : wxString();
    if (bar->GetStatusText(indicator.field) != shown) bar->SetStatusText(shown, indicator.field);
  }
}
