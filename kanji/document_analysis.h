// Decides, before a document is copied for the validator, in which encoding
// it is given to the validator and with which syntax it is validated.
//
// Encoding. UTF-8 is taken, in this order, for: a UTF-8 byte order mark; an
// HTTP Content-Type charset naming UTF-8; an encoding in the XML declaration
// or else a <meta> charset naming UTF-8; failing any declaration, a document
// that is well-formed UTF-8 throughout and holds at least one multibyte
// character. A Japanese legacy charset (Shift_JIS, EUC-JP, ISO-2022-JP and
// their aliases) declared over HTTP or in the document keeps the Japanese
// detection and conversion; any other declared charset is passed over, and
// the bytes decide. The bytes do not select UTF-8 when every multibyte
// character is a two-byte one and the text reads as EUC-JP as well: a
// short EUC-JP text of a few kanji without kana ("年", "表示") is also
// well-formed UTF-8, while Japanese UTF-8 always holds three-byte
// characters. Everything that is not UTF-8 goes through the Japanese
// detection and conversion, ASCII included.
//
// Syntax. A document is XML (XHTML) when its document type declaration names
// an XHTML public identifier, or when it opens with an XML declaration and
// does not name a public identifier of an SGML HTML DTD (HTML 2.0 to 4.01).
//
// DTD. A document type declaration that is "html" and nothing else (HTML5's
// <!DOCTYPE html>, in any letter case and spacing), or "html" with the
// system identifier "about:legacy-compat" alone, gives the validator
// nothing to validate against; so does a document without any
// document type declaration.
//
// The analysis reads the whole document once (the UTF-8 test needs every
// byte, up to the first that is not UTF-8) and keeps only its first
// kDocumentHeadSize bytes. DocumentAnalyser is
// a value; one thread at a time.
#ifndef TESSAVO_KANJI_DOCUMENT_ANALYSIS_H_
#define TESSAVO_KANJI_DOCUMENT_ANALYSIS_H_

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

#include "kanji/document_head.h"
#include "kanji/euc_jp_scan.h"
#include "kanji/utf8_scan.h"

namespace kanji {

enum class TextEncoding {
  Legacy,  // the Japanese detection and conversion into EUC-JP
  Utf8,    // the text is kept as it is
};

// What decided the encoding.
enum class EncodingReason {
  ByteOrderMark,
  HttpCharset,      // the download's Content-Type named UTF-8
  DeclaredCharset,  // the XML declaration or a <meta> named UTF-8
  DeclaredLegacy,   // HTTP or the document named a Japanese legacy charset
  Utf8Bytes,        // no declaration decided; the bytes are UTF-8
  NoUtf8Evidence,   // no declaration decided; the bytes are not UTF-8, or
                    // read as EUC-JP as well and hold no kana or kanji
};

enum class MarkupSyntax { Sgml, Xml };

enum class DtdKind {
  Declared,  // a DTD is named (or the prolog could not be read to the end)
  Html5,     // <!DOCTYPE html>, bare or with SYSTEM "about:legacy-compat"
  Missing,   // no document type declaration at all
};

struct DocumentAnalysis {
  TextEncoding encoding = TextEncoding::Legacy;
  EncodingReason reason = EncodingReason::NoUtf8Evidence;
  MarkupSyntax syntax = MarkupSyntax::Sgml;
  DtdKind dtd = DtdKind::Declared;
  // The root element declares the XHTML namespace (as XHTML5 pages do).
  bool xhtmlNamespace = false;
  // For Html5: the declaration as written (ASCII, white space runs as one
  // blank), e.g. "<!DOCTYPE html>". Empty otherwise.
  std::string doctypeText;
  // The charset the document was read as: "UTF-8", or, once the copy is
  // written (kanji/validator_copy.h), what the Japanese detection took it
  // for ("Shift_JIS", "EUC-JP", "ISO-2022-JP", "US-ASCII"). Empty before.
  std::string charset;
};

class DocumentAnalyser {
 public:
  // Takes the next block of the document.
  void feed(const char* data, std::size_t size);

  // False once further blocks cannot change the analysis: the head is read
  // and the text is known not to be UTF-8.
  bool wantsMore() const { return head_.size() < kDocumentHeadSize || utf8_.wellFormed(); }

  // The analysis of everything fed. `httpContentType` is the value of a
  // download's Content-Type field ("text/html; charset=UTF-8"), empty for a
  // local file.
  DocumentAnalysis finish(std::string_view httpContentType) const;

 private:
  std::string head_;
  Utf8Scan utf8_;
  EucJpScan eucJp_;
  std::size_t size_ = 0;
};

DocumentAnalysis analyseDocument(std::string_view document, std::string_view httpContentType = {});

// Reads `input` through its stream buffer, to its end or until the rest
// cannot change the analysis. The caller rewinds it (clear() and seekg(0))
// to copy the document afterwards.
DocumentAnalysis analyseDocument(std::istream& input, std::string_view httpContentType = {});

}  // namespace kanji

#endif  // TESSAVO_KANJI_DOCUMENT_ANALYSIS_H_
