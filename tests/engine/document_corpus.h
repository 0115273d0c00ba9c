// The pages of tests/data/documents: small pages of today (UTF-8 with and
// without byte order mark or meta charset, XHTML 1.0 and 1.1, HTML5, no
// doctype) and of the Japanese legacy encodings, with what each is; and the
// validator run directly on a page, as a user would run it, for tests to
// compare with. Needs onsgmls, nkf and iconv on PATH (haveCorpusPeers()).
// Free functions; the validator runs are bounded by timeout(1).
#ifndef TESSAVO_TESTS_ENGINE_DOCUMENT_CORPUS_H_
#define TESSAVO_TESTS_ENGINE_DOCUMENT_CORPUS_H_

#include <string>
#include <vector>

#include "kanji/document_analysis.h"

namespace document_corpus {

using Lines = std::vector<std::string>;

struct Page {
  const char* name;
  const char* contentType;  // of a download; "" for a local file
  kanji::TextEncoding encoding;
  kanji::MarkupSyntax syntax;
  kanji::DtdKind dtd;
  bool valid;  // no line once the no-DTD notes are explained
};

// Every page of the folder.
extern const std::vector<Page> kPages;

// The folder of the pages and the folder of the program and its catalogs,
// each ending with "/".
extern const std::string kDocuments;
extern const std::string kProgramFolder;

bool haveCorpusPeers();

Lines splitLines(const std::string& text);

// Each line from after "onsgmls:<document>:", or after "onsgmls:" when it is
// about another file (a DTD), as the error pane shows it.
Lines shownLines(const Lines& lines, const std::string& document);

// The validator's raw error lines about `document`, run with SP_ENCODING
// and `options` (command-line text that begins with a blank); its error
// file goes into `workFolder`.
Lines validatorLines(const std::string& spEncoding, const std::string& options,
                     const std::string& document, const std::string& workFolder);

// The lines of the validator run directly on `page`, as shown, in UTF-8:
// SP_ENCODING=UTF-8 on the page itself for UTF-8, nkf into EUC-JP and
// SP_ENCODING=EUC-JP for the legacy encodings, -wxml with xhtml-catalog for
// XHTML.
Lines directLines(const Page& page, const std::string& workFolder);

}  // namespace document_corpus

#endif  // TESSAVO_TESTS_ENGINE_DOCUMENT_CORPUS_H_
