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
// A document without a doctype gets its line even when the validator wrote
// none of those notes (text alone draws only "not allowed in prolog"): then
// it comes first. Every other line, genuine parse errors included, stays as
// it is and in its order. Documents that name a DTD keep all their lines.
//
// The lines of one document as the error pane shows them, in the program's
// code page: all at once (explainMissingDtd, a pure function), or one at a
// time as they are read (DtdNoticeFilter, a value of one thread, which holds
// at most kLookAhead lines). Any thread.
#ifndef TESSAVO_ENGINE_DTD_NOTICE_H_
#define TESSAVO_ENGINE_DTD_NOTICE_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kanji/document_analysis.h"

class DtdNoticeFilter {
 public:
  using Give = std::function<void(std::string&& line)>;

  explicit DtdNoticeFilter(const kanji::DocumentAnalysis& analysis);

  // Takes the next of the document's lines and gives the lines now due: the
  // line itself, the notice in place of the first note, nothing for a later
  // note. Without a doctype, lines wait until a note comes (the notice then
  // stands in its place) or kLookAhead of them have come without one (the
  // notice then comes first); the notes stand at the start of a document.
  void pass(std::string line, const Give& give);
  // After the last line: the lines still waiting, after the notice when no
  // note came.
  void finish(const Give& give);

  static constexpr std::size_t kLookAhead = 64;

 private:
  void giveWaiting(const Give& give);

  std::string notice_;
  std::vector<std::string_view> notes_;  // empty: every line stays
  bool noticed_ = false;
  bool mustNotice_ = false;  // the notice comes even without a note
  std::vector<std::string> waiting_;
};

std::vector<std::string> explainMissingDtd(const std::vector<std::string>& lines,
                                           const kanji::DocumentAnalysis& analysis);

#endif  // TESSAVO_ENGINE_DTD_NOTICE_H_
