#include "engine/dtd_notice.h"

#include <string_view>
#include <utility>

#include "platform/local_text.h"

namespace {

// The validator's notes, as they end its lines ("1:14:E: " comes first).
const std::string_view kNoSubset =
    "E: no internal or external document type declaration subset; will parse without validation";
const std::string_view kPrologOmitted =
    "E: prolog can't be omitted unless CONCUR NO and LINK EXPLICIT NO and either IMPLYDEF "
    "ELEMENT YES or IMPLYDEF DOCTYPE YES";
const std::string_view kNoDoctype =
    "E: no document type declaration; will parse without validation";

bool endsWith(const std::string& line, std::string_view ending) {
  return line.size() >= ending.size() &&
         std::string_view(line).substr(line.size() - ending.size()) == ending;
}

}  // namespace

DtdNoticeFilter::DtdNoticeFilter(const kanji::DocumentAnalysis& analysis) {
  switch (analysis.dtd) {
    case kanji::DtdKind::Html5:
      notice_ = platform::localText("I: HTML5 文書は DTD による検査ができません (") +
                analysis.doctypeText + ")";
      notes_ = {kNoSubset};
      break;
    case kanji::DtdKind::Missing:
      // Not every document without a doctype draws a note ("4.4.3" alone
      // gets only "character not allowed in prolog"); it is told all the
      // same, first, where the notes would stand.
      notice_ = platform::localText("I: DOCTYPE 宣言のない文書は DTD による検査ができません");
      notes_ = {kPrologOmitted, kNoDoctype};
      mustNotice_ = true;
      break;
    case kanji::DtdKind::Declared:
      break;
  }
}

void DtdNoticeFilter::pass(std::string line, const Give& give) {
  bool isNote = false;
  for (std::string_view note : notes_) isNote = isNote || endsWith(line, note);
  if (isNote && !noticed_) {
    giveWaiting(give);
    noticed_ = true;
    give(std::string(notice_));
  } else if (!isNote) {
    if (mustNotice_ && !noticed_) {
      waiting_.push_back(std::move(line));
      if (waiting_.size() == kLookAhead) finish(give);
    } else {
      give(std::move(line));
    }
  }
}

void DtdNoticeFilter::finish(const Give& give) {
  if (mustNotice_ && !noticed_) {
    noticed_ = true;
    give(std::string(notice_));
  }
  giveWaiting(give);
}

void DtdNoticeFilter::giveWaiting(const Give& give) {
  for (std::string& line : waiting_) give(std::move(line));
  waiting_.clear();
}

std::vector<std::string> explainMissingDtd(const std::vector<std::string>& lines,
                                           const kanji::DocumentAnalysis& analysis) {
  DtdNoticeFilter filter(analysis);
  std::vector<std::string> result;
  result.reserve(lines.size() + 1);
  const DtdNoticeFilter::Give collect = [&result](std::string&& line) {
    result.push_back(std::move(line));
  };
  for (const std::string& line : lines) filter.pass(line, collect);
  filter.finish(collect);
  return result;
}
