#include "tests/engine/document_corpus.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/process.h"
#include "tests/support/file_contents.h"

namespace document_corpus {

using kanji::DtdKind;
using kanji::MarkupSyntax;
using kanji::TextEncoding;
using test_support::readFile;
using test_support::writeFile;

const std::string kDocuments = TESSAVO_SOURCE_DIR "/tests/data/documents/";
const std::string kProgramFolder = TESSAVO_BINARY_DIR "/bin/";

const std::vector<Page> kPages = {
    {"utf8-five-lines.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, true},
    {"utf8-meta-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"utf8-bom-crlf.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"utf8-bom-valid.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, true},
    {"utf8-undeclared-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared,
     false},
    {"utf8-cr.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"utf8-crlf-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"utf8-other-scripts.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared,
     false},
    {"utf8-http-over-meta.html", "text/html; charset=UTF-8", TextEncoding::Utf8, MarkupSyntax::Sgml,
     DtdKind::Declared, false},
    {"utf8-latin1-declared.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared,
     false},
    {"utf8-html32.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"utf8-html20.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"html5-valid.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Html5, true},
    {"html5-parse-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Html5, false},
    {"html5-bom-crlf.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Html5, false},
    {"no-doctype-utf8.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Missing, true},
    {"no-doctype-comment-first.html", "", TextEncoding::Utf8, MarkupSyntax::Sgml, DtdKind::Missing,
     true},
    {"no-doctype-text-only.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Missing,
     false},
    {"xhtml10-strict-valid.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Declared,
     true},
    {"xhtml10-strict-blink.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Declared,
     false},
    {"xhtml10-transitional-valid.html", "", TextEncoding::Utf8, MarkupSyntax::Xml,
     DtdKind::Declared, true},
    {"xhtml10-transitional-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Xml,
     DtdKind::Declared, false},
    {"xhtml11-valid.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Declared, true},
    {"xhtml11-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Declared, false},
    {"xhtml10-bom-crlf-errors.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Declared,
     false},
    {"xhtml10-system-id-only.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Declared,
     false},
    {"xhtml-no-doctype.html", "", TextEncoding::Utf8, MarkupSyntax::Xml, DtdKind::Missing, true},
    {"xhtml10-sjis.html", "", TextEncoding::Legacy, MarkupSyntax::Xml, DtdKind::Declared, false},
    {"sjis-meta-errors.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Declared,
     false},
    {"sjis-undeclared-crlf.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Declared,
     false},
    {"sjis-html5.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Html5, false},
    {"eucjp-valid.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Declared, true},
    {"eucjp-errors.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"jis-errors.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Declared, false},
    {"ascii-errors.html", "", TextEncoding::Legacy, MarkupSyntax::Sgml, DtdKind::Declared, false},
};

bool haveCorpusPeers() {
  return !platform::findProgram("onsgmls").empty() && !platform::findProgram("nkf").empty() &&
         !platform::findProgram("iconv").empty();
}

Lines splitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Lines shownLines(const Lines& lines, const std::string& document) {
  Lines shown;
  for (const std::string& line : lines) {
    const std::string own = "onsgmls:" + document + ":";
    if (line.rfind(own, 0) == 0) {
      shown.push_back(line.substr(own.size()));
    } else {
      shown.push_back(line.substr(line.find(':') + 1));
    }
  }
  return shown;
}

Lines validatorLines(const std::string& spEncoding, const std::string& options,
                     const std::string& document, const std::string& workFolder) {
  const std::string errors = workFolder + "errors";
  std::remove(errors.c_str());
  const std::string command = "SP_CHARSET_FIXED=YES SP_ENCODING=" + spEncoding +
                              " timeout 60 onsgmls" + options + " -f'" + errors + "' -s '" +
                              document + "'";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << command;
  return splitLines(readFile(errors));
}

Lines directLines(const Page& page, const std::string& workFolder) {
  const std::string options = page.syntax == MarkupSyntax::Xml
                                  ? " -wxml -c'" + kProgramFolder + "xhtml-catalog'"
                                  : " -c'" + kProgramFolder + "catalog'";
  const std::string source = kDocuments + page.name;
  if (page.encoding == TextEncoding::Utf8) {
    return shownLines(validatorLines("UTF-8", options, source, workFolder), source);
  }
  const std::string converted = workFolder + "nkf.sgml";
  EXPECT_EQ(std::system(("nkf -x -e -Lw < '" + source + "' > '" + converted + "'").c_str()), 0);
  std::string all;
  for (const std::string& line : validatorLines("EUC-JP", options, converted, workFolder)) {
    all += line + "\n";
  }
  const std::string raw = writeFile(workFolder + "raw", all);
  const std::string utf8 = workFolder + "utf8";
  EXPECT_EQ(std::system(("iconv -f EUC-JP-MS -t UTF-8 < '" + raw + "' > '" + utf8 + "'").c_str()),
            0);
  return shownLines(splitLines(readFile(utf8)), converted);
}

}  // namespace document_corpus
