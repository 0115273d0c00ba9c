// Says plainly when the validator had no DTD to validate a document
// against: HTML5's <!DOCTYPE html>, and a document without any document
// type declaration.
//
// The validator reports such a document with notes that users cannot read
// ("no internal or external document type declaration subset; will parse
// without validation"; "prolog can't be omitted unless CONCUR NO and ...",
// "no document type declaration; will parse without validation"). Those
// notes are replaced, where the first of them stood, by one line:
//   I: HTML5 文書は DTD による検査ができません (<!DOCTYPE html>)
//   I: DOCTYPE 宣言のない文書は DTD による検査ができません
// Every other line, genuine parse errors included, stays as it is and in
// its order. Documents that name a DTD keep all their lines.
//
// The lines of one document as the error pane shows them, in the program's
// code page: all at once (explainMissingDtd), or one at a time as they are
// read (DtdNoticeFilter, a value of one thread). Any thread.
#ifndef TESSAVO_ENGINE_DTD_NOTICE_H_
#define TESSAVO_ENGINE_DTD_NOTICE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kanji/document_analysis.h"

class DtdNoticeFilter {
 public:
  explicit DtdNoticeFilter(const kanji::DocumentAnalysis& analysis);

  // The line to show for `line`, the next of the document's lines: the line
  // itself, the notice in place of the first note, nothing for a later one.
  std::optional<std::string> pass(std::string line);

 private:
  std::string notice_;
  std::vector<std::string_view> notes_;  // empty: every line stays
  bool noticed_ = false;
};

std::vector<std::string> explainMissingDtd(const std::vector<std::string>& lines,
                                           const kanji::DocumentAnalysis& analysis);

#endif  // TESSAVO_ENGINE_DTD_NOTICE_H_
