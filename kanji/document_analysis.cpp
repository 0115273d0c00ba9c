#include "kanji/document_analysis.h"

#include <algorithm>
#include <istream>
#include <streambuf>
#include <vector>

#include "kanji/document_head.h"
#include "platform/ascii_case.h"

namespace kanji {
namespace {

using platform::equalsIgnoringAsciiCase;

enum class CharsetFamily { Unnamed, Utf8, JapaneseLegacy, Other };

// Names as browsers accept them (the WHATWG encoding labels), plus the
// Windows name of Shift_JIS that older pages write.
CharsetFamily classifyCharset(std::string_view name) {
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
  if (name.empty()) return CharsetFamily::Unnamed;
  static const char* const kUtf8[] = {"utf-8",         "utf8",          "unicode-1-1-utf-8",
                                      "unicode11utf8", "unicode20utf8", "x-unicode20utf8"};
  static const char* const kLegacy[] = {
      "shift_jis",   "shift-jis",  "sjis",        "x-sjis", "ms_kanji", "ms932",
      "cp932",       "csshiftjis", "windows-31j", "euc-jp", "x-euc-jp", "cseucpkdfmtjapanese",
      "iso-2022-jp", "csiso2022jp"};
  for (const char* label : kUtf8) {
    if (equalsIgnoringAsciiCase(name, label)) return CharsetFamily::Utf8;
  }
  for (const char* label : kLegacy) {
    if (equalsIgnoringAsciiCase(name, label)) return CharsetFamily::JapaneseLegacy;
  }
  return CharsetFamily::Other;
}

bool containsIgnoringCase(std::string_view text, std::string_view lowerCase) {
  for (std::size_t i = 0; i + lowerCase.size() <= text.size(); ++i) {
    if (equalsIgnoringAsciiCase(text.substr(i, lowerCase.size()), lowerCase)) return true;
  }
  return false;
}

// A charset named by a declaration settles the encoding, if it is one of
// the two families this program knows.
bool settleByName(std::string_view charset, EncodingReason utf8Reason, DocumentAnalysis& result) {
  switch (classifyCharset(charset)) {
    case CharsetFamily::Utf8:
      result.encoding = TextEncoding::Utf8;
      result.reason = utf8Reason;
      return true;
    case CharsetFamily::JapaneseLegacy:
      result.encoding = TextEncoding::Legacy;
      result.reason = EncodingReason::DeclaredLegacy;
      return true;
    default:
      return false;
  }
}

void decideEncoding(const DocumentHead& head, const Utf8Scan& utf8, const EucJpScan& eucJp,
                    std::string_view httpContentType, DocumentAnalysis& result) {
  if (head.byteOrderMark) {
    result.encoding = TextEncoding::Utf8;
    result.reason = EncodingReason::ByteOrderMark;
    return;
  }
  if (settleByName(charsetParameter(httpContentType), EncodingReason::HttpCharset, result)) return;
  // An XML processor reads the XML declaration and a browser the <meta>;
  // both appear in XHTML and should agree. The declaration comes first.
  const std::string& declared = head.xmlEncoding.empty() ? head.metaCharset : head.xmlEncoding;
  if (settleByName(declared, EncodingReason::DeclaredCharset, result)) return;
  const bool alsoEucJp = eucJp.wellFormed() && utf8.longCount() == 0;
  if (utf8.wellFormed() && utf8.multibyteCount() > 0 && !alsoEucJp) {
    result.encoding = TextEncoding::Utf8;
    result.reason = EncodingReason::Utf8Bytes;
  } else {
    result.encoding = TextEncoding::Legacy;
    result.reason = EncodingReason::NoUtf8Evidence;
  }
}

// HTML5's doctype for generators that cannot write the short one:
// <!DOCTYPE html SYSTEM "about:legacy-compat">, which names no DTD either.
bool isLegacyCompat(const DocumentHead& head) {
  return !head.hasPublicId && equalsIgnoringAsciiCase(head.systemId, "about:legacy-compat") &&
         platform::startsWithIgnoringAsciiCase(head.doctypeText, "<!doctype html ") &&
         head.doctypeText.find('[') == std::string::npos;
}

void decideMarkup(const DocumentHead& head, DocumentAnalysis& result) {
  const bool found = head.doctype == DoctypePresence::Found;
  // A system identifier alone is enough when it names one of the XHTML DTDs
  // ("http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd").
  const bool xhtmlId =
      found && (containsIgnoringCase(head.publicId, "-//w3c//dtd xhtml") ||
                (!head.hasPublicId && containsIgnoringCase(head.systemId, "xhtml")));
  // HTML 2.0 to 4.01 are SGML DTDs: an XML declaration in front of one is a
  // processing instruction to the validator, not a change of syntax.
  const bool sgmlHtmlId = found && !xhtmlId && containsIgnoringCase(head.publicId, "html");
  result.syntax =
      xhtmlId || (head.xmlDeclaration && !sgmlHtmlId) ? MarkupSyntax::Xml : MarkupSyntax::Sgml;
  result.xhtmlNamespace = head.rootNamespace == "http://www.w3.org/1999/xhtml";
  if (head.doctype == DoctypePresence::Missing) {
    result.dtd = DtdKind::Missing;
  } else if (found && (equalsIgnoringAsciiCase(head.doctypeText, "<!doctype html>") ||
                       equalsIgnoringAsciiCase(head.doctypeText, "<!doctype html >") ||
                       isLegacyCompat(head))) {
    result.dtd = DtdKind::Html5;
    result.doctypeText = head.doctypeText;
  } else {
    result.dtd = DtdKind::Declared;
  }
}

}  // namespace

void DocumentAnalyser::feed(const char* data, std::size_t size) {
  if (head_.size() < kDocumentHeadSize) {
    head_.append(data, std::min(size, kDocumentHeadSize - head_.size()));
  }
  utf8_.feed(data, size);
  // Only asked while the text could still be both.
  if (utf8_.wellFormed() && utf8_.longCount() == 0) eucJp_.feed(data, size);
  size_ += size;
}

DocumentAnalysis DocumentAnalyser::finish(std::string_view httpContentType) const {
  // A document that fills the head may go on past it.
  const DocumentHead head = readDocumentHead(head_, size_ < kDocumentHeadSize);
  DocumentAnalysis result;
  decideEncoding(head, utf8_, eucJp_, httpContentType, result);
  decideMarkup(head, result);
  return result;
}

DocumentAnalysis analyseDocument(std::string_view document, std::string_view httpContentType) {
  DocumentAnalyser analyser;
  analyser.feed(document.data(), document.size());
  return analyser.finish(httpContentType);
}

DocumentAnalysis analyseDocument(std::istream& input, std::string_view httpContentType) {
  DocumentAnalyser analyser;
  if (std::streambuf* buffer = input.rdbuf()) {
    std::vector<char> block(64 * 1024);
    for (std::streamsize got;
         analyser.wantsMore() && (got = buffer->sgetn(block.data(), block.size())) > 0;) {
      analyser.feed(block.data(), static_cast<std::size_t>(got));
    }
  }
  return analyser.finish(httpContentType);
}

}  // namespace kanji
