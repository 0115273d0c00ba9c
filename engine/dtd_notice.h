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
// A pure function over the lines of one document as the error pane shows
// them, in the program's code page; any thread.
#ifndef TESSAVO_ENGINE_DTD_NOTICE_H_
#define TESSAVO_ENGINE_DTD_NOTICE_H_

#include <string>
#include <vector>

#include "kanji/document_analysis.h"

std::vector<std::string> explainMissingDtd(const std::vector<std::string>& lines,
                                           const kanji::DocumentAnalysis& analysis);

#endif  // TESSAVO_ENGINE_DTD_NOTICE_H_
