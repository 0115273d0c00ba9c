// The document analysis, the copy, the validator profile and the line
// conversion together, against the real validator: for every page of
// tests/data/documents the validator's lines about our copy equal its lines
// about the page itself, run directly as a user would run it (UTF-8 pages
// with SP_ENCODING=UTF-8, XHTML with -wxml and the XHTML catalog, the
// Japanese legacy encodings through nkf into EUC-JP): same messages, same
// lines and columns.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/dtd_notice.h"
#include "engine/validator_profile.h"
#include "kanji/document_analysis.h"
#include "kanji/validator_copy.h"
#include "platform/process.h"
#include "platform/validator_text.h"
#include "tests/code_page_scope.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using kanji::DtdKind;
using kanji::MarkupSyntax;
using kanji::TextEncoding;
using Lines = std::vector<std::string>;

const std::string kDocuments = TESSAVO_SOURCE_DIR "/tests/data/documents/";
const std::string kProgramFolder = TESSAVO_BINARY_DIR "/bin/";

using test_support::readFile;
using test_support::writeFile;

Lines splitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Each line from after "onsgmls:<document>:", or after "onsgmls:" when it is
// about another file (a DTD), as the error pane shows it.
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

class DocumentCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::findProgram("onsgmls").empty() || platform::findProgram("nkf").empty()) {
      GTEST_SKIP() << "needs onsgmls and nkf";
    }
    ASSERT_FALSE(folder_.empty());
  }

  // Runs the validator on `document` and returns its raw error lines. Bounded
  // by timeout(1): a validator that hangs fails the test instead of it.
  Lines validate(const std::string& spEncoding, const std::string& options,
                 const std::string& document) {
    const std::string errors = folder_ + "errors";
    std::remove(errors.c_str());
    const std::string command = "SP_CHARSET_FIXED=YES SP_ENCODING=" + spEncoding +
                                " timeout 60 onsgmls" + options + " -f'" + errors + "' -s '" +
                                document + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << command;
    return splitLines(readFile(errors));
  }

  // Our way: analysis of the page's bytes, the copy it chooses, the profile's
  // encoding, catalog and options, and each line in the program's code page.
  Lines ours(const std::string& page, const std::string& contentType,
             kanji::DocumentAnalysis& analysis) {
    std::ifstream source(kDocuments + page, std::ios::binary);
    analysis = kanji::analyseDocument(source, contentType);
    source.clear();
    source.seekg(0);
    const std::string copy = folder_ + "$conv.sgml";
    {
      std::ofstream out(copy, std::ios::binary | std::ios::trunc);
      EXPECT_TRUE(kanji::writeValidatorCopy(source, analysis, out)) << page;
    }
    const ValidatorProfile profile = validatorProfile(analysis);
    platform::ValidatorText text;
    Lines lines;
    for (const std::string& line : shownLines(
             validate(profile.spEncoding(), validatorOptionText(profile, kProgramFolder), copy),
             copy)) {
      lines.push_back(text.toCodePage(line, profile.encoding));
    }
    return lines;
  }

  // The direct way, with the encoding and syntax the page is known to have.
  Lines direct(const std::string& page, TextEncoding encoding, MarkupSyntax syntax) {
    const std::string options = syntax == MarkupSyntax::Xml
                                    ? " -wxml -c'" + kProgramFolder + "xhtml-catalog'"
                                    : " -c'" + kProgramFolder + "catalog'";
    if (encoding == TextEncoding::Utf8) {
      return shownLines(validate("UTF-8", options, kDocuments + page), kDocuments + page);
    }
    const std::string converted = folder_ + "nkf.sgml";
    EXPECT_EQ(
        std::system(("nkf -x -e -Lw < '" + kDocuments + page + "' > '" + converted + "'").c_str()),
        0);
    std::string all;
    for (const std::string& line : validate("EUC-JP", options, converted)) all += line + "\n";
    const std::string raw = writeFile(folder_ + "raw", all);
    const std::string utf8 = folder_ + "utf8";
    EXPECT_EQ(std::system(("iconv -f EUC-JP-MS -t UTF-8 < '" + raw + "' > '" + utf8 + "'").c_str()),
              0);
    return shownLines(splitLines(readFile(utf8)), converted);
  }

  test_support::TempFolder temp_{"document_corpus"};
  const std::string& folder_ = temp_.path();
};

struct Page {
  const char* name;
  const char* contentType;  // of a download; "" for a local file
  TextEncoding encoding;
  MarkupSyntax syntax;
  DtdKind dtd;
  bool valid;  // no line once the no-DTD notes are explained
};

const Page kPages[] = {
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

TEST_F(DocumentCorpus, EveryPageGivesTheDirectRunsLines) {
  for (const Page& page : kPages) {
    kanji::DocumentAnalysis analysis;
    const Lines lines = ours(page.name, page.contentType, analysis);
    EXPECT_EQ(analysis.encoding, page.encoding) << page.name;
    EXPECT_EQ(analysis.syntax, page.syntax) << page.name;
    EXPECT_EQ(analysis.dtd, page.dtd) << page.name;
    EXPECT_EQ(lines, direct(page.name, page.encoding, page.syntax)) << page.name;

    const Lines shown = explainMissingDtd(lines, analysis);
    std::size_t notices = 0;
    for (const std::string& line : shown) {
      EXPECT_EQ(line.find("will parse without validation"), std::string::npos) << page.name;
      notices += line.rfind("I: ", 0) == 0;
    }
    EXPECT_EQ(notices, page.dtd == DtdKind::Declared ? 0u : 1u) << page.name;
    EXPECT_EQ(shown.size() == notices, page.valid)
        << page.name << ": " << ::testing::PrintToString(shown);
  }
}

TEST_F(DocumentCorpus, EveryPageInTheFolderIsInTheTable) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kDocuments)) {
    const std::string name = entry.path().filename().string();
    bool listed = false;
    for (const Page& page : kPages) listed = listed || name == page.name;
    EXPECT_TRUE(listed) << name;
    ++count;
  }
  EXPECT_EQ(count, std::size(kPages));
}

// Under CP932 the UTF-8 messages arrive as CP932, like the direct run's
// lines converted by iconv.
TEST_F(DocumentCorpus, Cp932GetsTheSameMessagesInCp932) {
  CodePageScope cp932(platform::CodePage::Cp932);
  for (const char* name : {"utf8-meta-errors.html", "utf8-undeclared-errors.html",
                           "xhtml10-transitional-errors.html"}) {
    kanji::DocumentAnalysis analysis;
    const Lines lines = ours(name, "", analysis);
    std::string expected;
    for (const std::string& line : direct(name, TextEncoding::Utf8, analysis.syntax)) {
      expected += line + "\n";
    }
    const std::string utf8 = writeFile(folder_ + "expected.utf8", expected);
    const std::string cp932 = folder_ + "expected.cp932";
    ASSERT_EQ(std::system(("iconv -f UTF-8 -t CP932 < '" + utf8 + "' > '" + cp932 + "'").c_str()),
              0)
        << name;
    EXPECT_EQ(lines, splitLines(readFile(cp932))) << name;
  }
}

}  // namespace
