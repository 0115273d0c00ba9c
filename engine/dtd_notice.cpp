#include "engine/dtd_notice.h"

#include <string_view>

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

std::vector<std::string> explainMissingDtd(const std::vector<std::string>& lines,
                                           const kanji::DocumentAnalysis& analysis) {
  std::string notice;
  std::vector<std::string_view> notes;
  switch (analysis.dtd) {
    case kanji::DtdKind::Html5:
      notice = platform::localText("I: HTML5 文書は DTD による検査ができません (") +
               analysis.doctypeText + ")";
      notes = {kNoSubset};
      break;
    case kanji::DtdKind::Missing:
      notice = platform::localText("I: DOCTYPE 宣言のない文書は DTD による検査ができません");
      notes = {kPrologOmitted, kNoDoctype};
      break;
    case kanji::DtdKind::Declared:
      return lines;
  }
  std::vector<std::string> result;
  result.reserve(lines.size());
  bool noticed = false;
  for (const std::string& line : lines) {
    bool isNote = false;
    for (std::string_view note : notes) isNote = isNote || endsWith(line, note);
    if (!isNote) {
      result.push_back(line);
    } else if (!noticed) {
      result.push_back(notice);
      noticed = true;
    }
  }
  // Not every document without a doctype draws a note ("4.4.3" alone gets
  // only "character not allowed in prolog"); it is told all the same, first,
  // where the notes would stand.
  if (!noticed && analysis.dtd == kanji::DtdKind::Missing) result.insert(result.begin(), notice);
  return result;
}
