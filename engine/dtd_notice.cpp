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
      notice_ = platform::localText("I: DOCTYPE 宣言のない文書は DTD による検査ができません");
      notes_ = {kPrologOmitted, kNoDoctype};
      break;
    case kanji::DtdKind::Declared:
      break;
  }
}

std::optional<std::string> DtdNoticeFilter::pass(std::string line) {
  bool isNote = false;
  for (std::string_view note : notes_) isNote = isNote || endsWith(line, note);
  if (!isNote) return line;
  if (noticed_) return std::nullopt;
  noticed_ = true;
  return notice_;
}

std::vector<std::string> explainMissingDtd(const std::vector<std::string>& lines,
                                           const kanji::DocumentAnalysis& analysis) {
  DtdNoticeFilter filter(analysis);
  std::vector<std::string> result;
  result.reserve(lines.size());
  for (const std::string& line : lines) {
    if (std::optional<std::string> shown = filter.pass(line)) result.push_back(std::move(*shown));
  }
  return result;
}
