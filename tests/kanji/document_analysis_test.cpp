#include "kanji/document_analysis.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "kanji/utf8_scan.h"
#include "platform/character_converter.h"
#include "tests/kanji/japanese_corpus.h"

namespace {

using kanji::DtdKind;
using kanji::EncodingReason;
using kanji::MarkupSyntax;
using kanji::TextEncoding;
using namespace std::string_literals;

const std::string kHtml401 = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n";
const std::string kXhtml10 =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
    "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n";
// 日本語 in each encoding.
const std::string kUtf8Text = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
const std::string kShiftJisText = "\x93\xFA\x96\x7B\x8C\xEA";
const std::string kEucJpText = "\xC6\xFC\xCB\xDC\xB8\xEC";
const std::string kJisText = "\x1B$BF|K\\8l\x1B(B";
// あい in EUC-JP: hiragana, whose lead byte 0xA4 can never start UTF-8.
const std::string kEucJpKana = "\xA4\xA2\xA4\xA4";

std::string page(const std::string& headExtra, const std::string& body) {
  return kHtml401 + "<html><head>" + headExtra + "<title>t</title></head>\n<body><p>" + body +
         "</p></body></html>\n";
}

std::string meta(const std::string& charset) {
  return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">";
}

TEST(DocumentAnalysis, ChoosesTheEncoding) {
  struct Case {
    const char* what;
    std::string document;
    std::string contentType;
    TextEncoding encoding;
    EncodingReason reason;
  };
  const Case cases[] = {
      {"byte order mark", "\xEF\xBB\xBF" + page("", "a"), "", TextEncoding::Utf8,
       EncodingReason::ByteOrderMark},
      {"byte order mark before a legacy meta", "\xEF\xBB\xBF" + page(meta("Shift_JIS"), "a"), "",
       TextEncoding::Utf8, EncodingReason::ByteOrderMark},
      {"http-equiv meta, ASCII text", page(meta("utf-8"), "a"), "", TextEncoding::Utf8,
       EncodingReason::DeclaredCharset},
      {"meta charset attribute, any case", page("<META CharSet=\"UTF-8\">", "a"), "",
       TextEncoding::Utf8, EncodingReason::DeclaredCharset},
      {"unquoted utf8", page("<meta charset=utf8>", "a"), "", TextEncoding::Utf8,
       EncodingReason::DeclaredCharset},
      {"content before http-equiv",
       page("<meta content='text/html;charset=UTF-8' http-equiv='content-type'>", "a"), "",
       TextEncoding::Utf8, EncodingReason::DeclaredCharset},
      {"content without http-equiv says nothing",
       page("<meta name=\"x\" content=\"charset=utf-8\">", "a"), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"commented-out meta says nothing", page("<!-- <meta charset=\"utf-8\"> -->", kShiftJisText),
       "", TextEncoding::Legacy, EncodingReason::NoUtf8Evidence},
      {"meta inside an attribute value says nothing",
       page("<link title=\"<meta charset=utf-8>\">", kShiftJisText), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"meta in the body says nothing",
       kHtml401 + "<body><p>" + kShiftJisText + "<meta charset=utf-8>", "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"XML declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + kXhtml10, "",
       TextEncoding::Utf8, EncodingReason::DeclaredCharset},
      {"XML declaration in single quotes", "<?xml version='1.0' encoding='utf-8'?><a/>", "",
       TextEncoding::Utf8, EncodingReason::DeclaredCharset},
      {"XML declaration naming Shift_JIS over UTF-8 bytes",
       "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>" + kUtf8Text + "</a>", "",
       TextEncoding::Legacy, EncodingReason::DeclaredLegacy},
      {"Shift_JIS meta over UTF-8 bytes", page(meta("Shift_JIS"), kUtf8Text), "",
       TextEncoding::Legacy, EncodingReason::DeclaredLegacy},
      {"x-sjis", page(meta("x-sjis"), kUtf8Text), "", TextEncoding::Legacy,
       EncodingReason::DeclaredLegacy},
      {"EUC-JP", page(meta("EUC-JP"), kUtf8Text), "", TextEncoding::Legacy,
       EncodingReason::DeclaredLegacy},
      {"ISO-2022-JP", page(meta("iso-2022-jp"), kUtf8Text), "", TextEncoding::Legacy,
       EncodingReason::DeclaredLegacy},
      {"another charset lets the bytes decide", page(meta("iso-8859-1"), kUtf8Text), "",
       TextEncoding::Utf8, EncodingReason::Utf8Bytes},
      {"HTTP charset", page("", "a"), "text/html; charset=UTF-8", TextEncoding::Utf8,
       EncodingReason::HttpCharset},
      {"quoted HTTP charset", page("", "a"), "text/html;charset=\"utf-8\"", TextEncoding::Utf8,
       EncodingReason::HttpCharset},
      {"HTTP legacy charset over a UTF-8 meta", page(meta("utf-8"), kUtf8Text),
       "text/html; charset=Shift_JIS", TextEncoding::Legacy, EncodingReason::DeclaredLegacy},
      {"HTTP without charset", page(meta("utf-8"), "a"), "text/html", TextEncoding::Utf8,
       EncodingReason::DeclaredCharset},
      {"HTTP with another charset", page(meta("utf-8"), "a"), "text/html; charset=iso-8859-1",
       TextEncoding::Utf8, EncodingReason::DeclaredCharset},
      {"UTF-8 Japanese, undeclared", page("", kUtf8Text), "", TextEncoding::Utf8,
       EncodingReason::Utf8Bytes},
      {"EUC-JP kanji without kana, UTF-8 as well", page("", "\xC7\xAF\xC9\xBD"), "",
       TextEncoding::Legacy, EncodingReason::NoUtf8Evidence},
      {"two-byte UTF-8 that reads as EUC-JP too", page("", "caf\xC3\xA9"), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"two-byte UTF-8 that is no EUC-JP", page("", "voil\xC3\xA0"), "", TextEncoding::Utf8,
       EncodingReason::Utf8Bytes},
      {"Cyrillic", page("", "\xD0\x9F\xD1\x80\xD0\xB8"), "", TextEncoding::Utf8,
       EncodingReason::Utf8Bytes},
      {"UTF-8 cut inside its last character", page("", kUtf8Text) + "\xE6\x97", "",
       TextEncoding::Utf8, EncodingReason::Utf8Bytes},
      {"ASCII", page("", "a"), "", TextEncoding::Legacy, EncodingReason::NoUtf8Evidence},
      {"Shift_JIS", page("", kShiftJisText), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"EUC-JP", page("", kEucJpText + kEucJpKana), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"ISO-2022-JP", page("", kJisText), "", TextEncoding::Legacy, EncodingReason::NoUtf8Evidence},
      {"UTF-8 with a stray byte at the end", page("", kUtf8Text) + "\x82", "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"overlong slash", page("", kUtf8Text + "\xC0\xAF"), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"surrogate", page("", kUtf8Text + "\xED\xA0\x80"), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"beyond U+10FFFF", page("", kUtf8Text + "\xF4\x90\x80\x80"), "", TextEncoding::Legacy,
       EncodingReason::NoUtf8Evidence},
      {"meta past the head is not read",
       kHtml401 + "<html><head><!--" + std::string(70000, 'x') + "-->" + meta("utf-8") +
           "</head><body>" + kShiftJisText,
       "", TextEncoding::Legacy, EncodingReason::NoUtf8Evidence},
      {"a declaration wins over later bytes", page(meta("utf-8"), kShiftJisText), "",
       TextEncoding::Utf8, EncodingReason::DeclaredCharset},
  };
  for (const Case& c : cases) {
    const kanji::DocumentAnalysis result = kanji::analyseDocument(c.document, c.contentType);
    EXPECT_EQ(result.encoding, c.encoding) << c.what;
    EXPECT_EQ(result.reason, c.reason) << c.what;
  }
}

TEST(DocumentAnalysis, ChoosesSyntaxAndFindsTheDoctype) {
  struct Case {
    const char* what;
    std::string document;
    MarkupSyntax syntax;
    DtdKind dtd;
    std::string doctypeText;
  };
  const std::string xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const Case cases[] = {
      {"HTML 4.01", page("", "a"), MarkupSyntax::Sgml, DtdKind::Declared, ""},
      {"HTML5", "<!DOCTYPE html>\n<html>", MarkupSyntax::Sgml, DtdKind::Html5, "<!DOCTYPE html>"},
      {"HTML5 in other letter case", "<!doctype HTML>", MarkupSyntax::Sgml, DtdKind::Html5,
       "<!doctype HTML>"},
      {"HTML5 over two lines", "<!DOCTYPE\r\n  html\n>", MarkupSyntax::Sgml, DtdKind::Html5,
       "<!DOCTYPE html >"},
      {"HTML5 after a byte order mark and a comment", "\xEF\xBB\xBF<!-- c -->\n<!DOCTYPE html>",
       MarkupSyntax::Sgml, DtdKind::Html5, "<!DOCTYPE html>"},
      {"legacy-compat names no DTD", "<!DOCTYPE html SYSTEM \"about:legacy-compat\">",
       MarkupSyntax::Sgml, DtdKind::Html5, "<!DOCTYPE html SYSTEM \"about:legacy-compat\">"},
      {"another system identifier names a DTD", "<!DOCTYPE html SYSTEM \"html.dtd\">",
       MarkupSyntax::Sgml, DtdKind::Declared, ""},
      {"empty public identifier", "<!DOCTYPE html PUBLIC \"\">", MarkupSyntax::Sgml,
       DtdKind::Declared, ""},
      {"internal subset", "<!DOCTYPE html [ <!ENTITY x \"]>\"> ]><html>", MarkupSyntax::Sgml,
       DtdKind::Declared, ""},
      {"more words after the name", "<!DOCTYPE html lang>", MarkupSyntax::Sgml, DtdKind::Declared,
       ""},
      {"another document type", "<!DOCTYPE memo>", MarkupSyntax::Sgml, DtdKind::Declared, ""},
      {"element first", "<html><p>a", MarkupSyntax::Sgml, DtdKind::Missing, ""},
      {"text first", "hello\n<!DOCTYPE html>", MarkupSyntax::Sgml, DtdKind::Missing, ""},
      {"comment, then element", "<!-- x -->\n<html>", MarkupSyntax::Sgml, DtdKind::Missing, ""},
      {"empty document", "", MarkupSyntax::Sgml, DtdKind::Missing, ""},
      {"white space only", " \r\n\t", MarkupSyntax::Sgml, DtdKind::Missing, ""},
      {"unclosed comment", "<!-- never closed <html>", MarkupSyntax::Sgml, DtdKind::Declared, ""},
      {"unclosed doctype", "<!DOCTYPE html", MarkupSyntax::Sgml, DtdKind::Declared, ""},
      {"doctype past the head", "<!--" + std::string(70000, 'x') + "-->\n<!DOCTYPE html>",
       MarkupSyntax::Sgml, DtdKind::Declared, ""},
      {"XHTML 1.0 with XML declaration", xmlDeclaration + kXhtml10, MarkupSyntax::Xml,
       DtdKind::Declared, ""},
      {"XHTML public identifier alone", kXhtml10 + "<html>", MarkupSyntax::Xml, DtdKind::Declared,
       ""},
      {"XHTML 1.1",
       "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
       "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">",
       MarkupSyntax::Xml, DtdKind::Declared, ""},
      {"XHTML system identifier alone",
       "<!DOCTYPE html SYSTEM \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">",
       MarkupSyntax::Xml, DtdKind::Declared, ""},
      {"XML declaration before HTML 4.01", xmlDeclaration + kHtml401, MarkupSyntax::Sgml,
       DtdKind::Declared, ""},
      {"XML declaration without doctype", xmlDeclaration + "<html xmlns=\"x\">", MarkupSyntax::Xml,
       DtdKind::Missing, ""},
      {"XML declaration before HTML5", xmlDeclaration + "<!DOCTYPE html>", MarkupSyntax::Xml,
       DtdKind::Html5, "<!DOCTYPE html>"},
      {"a stylesheet instruction is no XML declaration",
       "<?xml-stylesheet href=\"a.css\"?>\n<!DOCTYPE html>", MarkupSyntax::Sgml, DtdKind::Html5,
       "<!DOCTYPE html>"},
  };
  for (const Case& c : cases) {
    const kanji::DocumentAnalysis result = kanji::analyseDocument(c.document);
    EXPECT_EQ(result.syntax, c.syntax) << c.what;
    EXPECT_EQ(result.dtd, c.dtd) << c.what;
    EXPECT_EQ(result.doctypeText, c.doctypeText) << c.what;
  }
}

// No document of the Japanese converter's corpus, in any of the three
// legacy encodings, is taken for UTF-8 by its bytes (their charset
// declaration is removed); the same documents in UTF-8 are.
TEST(DocumentAnalysis, JapaneseLegacyDocumentsStayLegacy) {
  const std::string declaration = "charset=EUC-JP";
  for (const char* encoding : {"EUC-JP", "SHIFT_JIS", "ISO-2022-JP"}) {
    if (!platform::CharacterConverter(encoding, "EUC-JP").isAvailable()) {
      // The system cannot make the documents (wine has no ISO-2022-JP).
      std::printf("note: no %s conversion on this system, its documents are not made\n", encoding);
      continue;
    }
    std::vector<std::string> documents;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
      std::string document = corpus::makeEucJpDocument(seed, 300 + 700 * seed, seed % 2 == 0);
      const std::size_t found = document.find(declaration);
      ASSERT_NE(found, std::string::npos);
      documents.push_back(document.erase(found, declaration.size()));
    }
    documents.push_back(corpus::allEucJpCharacters());
    for (std::size_t i = 0; i < documents.size(); ++i) {
      std::string text;
      ASSERT_TRUE(corpus::recode(documents[i], "EUC-JP", encoding, text)) << encoding;
      EXPECT_EQ(kanji::analyseDocument(text).encoding, TextEncoding::Legacy)
          << encoding << " document " << i;
      std::string utf8;
      ASSERT_TRUE(corpus::recode(documents[i], "EUC-JP", "UTF-8", utf8));
      EXPECT_EQ(kanji::analyseDocument(utf8).encoding, TextEncoding::Utf8)
          << "UTF-8 document " << i;
    }
  }
}

TEST(DocumentAnalysis, SameResultWhateverTheBlocks) {
  const std::string documents[] = {
      "\xEF\xBB\xBF<!DOCTYPE html>\n<p>" + kUtf8Text,
      page(meta("utf-8"), kUtf8Text),
      page("", kUtf8Text + kUtf8Text),
      page("", kUtf8Text + "\xE6\x97"),
      page("", kShiftJisText),
      "<?xml version=\"1.0\"?>\n" + kXhtml10 + kUtf8Text,
  };
  for (const std::string& document : documents) {
    const kanji::DocumentAnalysis whole = kanji::analyseDocument(document);
    kanji::DocumentAnalyser analyser;
    for (char byte : document) analyser.feed(&byte, 1);
    const kanji::DocumentAnalysis bytewise = analyser.finish("");
    std::istringstream stream(document);
    const kanji::DocumentAnalysis streamed = kanji::analyseDocument(stream);
    for (const kanji::DocumentAnalysis* other : {&bytewise, &streamed}) {
      EXPECT_EQ(other->encoding, whole.encoding) << document;
      EXPECT_EQ(other->reason, whole.reason) << document;
      EXPECT_EQ(other->syntax, whole.syntax) << document;
      EXPECT_EQ(other->dtd, whole.dtd) << document;
      EXPECT_EQ(other->doctypeText, whole.doctypeText) << document;
    }
  }
}

TEST(DocumentAnalysis, DoctypeTextStaysShortAndOnOneLine) {
  const std::string document = "<!DOCTYPE html\n" + std::string(5000, ' ') + ">";
  EXPECT_EQ(kanji::analyseDocument(document).doctypeText, "<!DOCTYPE html >");
  const std::string subset = "<!DOCTYPE x [" + std::string(5000, 'a') + "]>";
  kanji::DocumentAnalyser analyser;
  analyser.feed(subset.data(), subset.size());
  EXPECT_EQ(analyser.finish("").dtd, DtdKind::Declared);
}

TEST(Utf8Scan, TellsWellFormedSequences) {
  struct Case {
    const char* what;
    std::string bytes;
    bool wellFormed;
    std::size_t multibyte;
  };
  const Case cases[] = {
      {"ASCII", "plain text, longer than eight bytes", true, 0},
      {"two, three and four bytes", "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", true, 3},
      {"lowest and highest", "\xC2\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true, 3},
      {"lead C0", "\xC0\x80", false, 0},
      {"lead C1", "\xC1\xBF", false, 0},
      {"overlong three bytes", "\xE0\x9F\xBF", false, 0},
      {"surrogate", "\xED\xA0\x80", false, 0},
      {"overlong four bytes", "\xF0\x8F\xBF\xBF", false, 0},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false, 0},
      {"lead F5", "\xF5\x80\x80\x80", false, 0},
      {"stray continuation", "a\x80", false, 0},
      {"lead followed by ASCII",
       "\xE3\x81"
       "a",
       false, 0},
      {"cut off at the end", "\xC3\xA9\xE3\x81", true, 1},
      {"Shift_JIS", "\x82\xA0", false, 0},
      {"EUC-JP kanji that reads as UTF-8", "\xC6\xA1", true, 1},
  };
  for (const Case& c : cases) {
    kanji::Utf8Scan whole;
    whole.feed(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(whole.wellFormed(), c.wellFormed) << c.what;
    if (c.wellFormed) {
      EXPECT_EQ(whole.multibyteCount(), c.multibyte) << c.what;
    }
    kanji::Utf8Scan bytewise;
    for (char byte : c.bytes) bytewise.feed(&byte, 1);
    EXPECT_EQ(bytewise.wellFormed(), c.wellFormed) << c.what;
  }
}

}  // namespace
