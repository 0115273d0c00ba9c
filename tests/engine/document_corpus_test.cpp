// The document analysis, the copy, the validator profile and the line
// conversion together, against the real validator: for every page of
// tests/data/documents the validator's lines about our copy equal its lines
// about the page itself, run directly as a user would run it (UTF-8 pages
// with SP_ENCODING=UTF-8, XHTML with -wxml and the XHTML catalog, the
// Japanese legacy encodings through nkf into EUC-JP): same messages, same
// lines and columns.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/dtd_notice.h"
#include "engine/validator_profile.h"
#include "kanji/document_analysis.h"
#include "kanji/validator_copy.h"
#include "platform/validator_text.h"
#include "tests/code_page_scope.h"
#include "tests/engine/document_corpus.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using document_corpus::kDocuments;
using document_corpus::kPages;
using document_corpus::kProgramFolder;
using document_corpus::Lines;
using document_corpus::Page;
using kanji::DtdKind;
using kanji::TextEncoding;

class DocumentCorpus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!document_corpus::haveCorpusPeers()) GTEST_SKIP() << "needs onsgmls, nkf and iconv";
    ASSERT_FALSE(folder_.empty());
  }

  // Our way: analysis of the page's bytes, the copy it chooses, the profile's
  // encoding, catalog and options, and each line in the program's code page.
  Lines ours(const Page& page, kanji::DocumentAnalysis& analysis) {
    std::ifstream source(kDocuments + page.name, std::ios::binary);
    analysis = kanji::analyseDocument(source, page.contentType);
    source.clear();
    source.seekg(0);
    const std::string copy = folder_ + "$conv.sgml";
    {
      std::ofstream out(copy, std::ios::binary | std::ios::trunc);
      EXPECT_TRUE(kanji::writeValidatorCopy(source, analysis, out)) << page.name;
    }
    const ValidatorProfile profile = validatorProfile(analysis);
    platform::ValidatorText text;
    Lines lines;
    const Lines raw = document_corpus::validatorLines(
        profile.spEncoding(), validatorOptionText(profile, kProgramFolder), copy, folder_);
    for (const std::string& line : document_corpus::shownLines(raw, copy)) {
      lines.push_back(text.toCodePage(line, profile.encoding));
    }
    return lines;
  }

  test_support::TempFolder temp_{"document_corpus"};
  const std::string& folder_ = temp_.path();
};

TEST_F(DocumentCorpus, EveryPageGivesTheDirectRunsLines) {
  for (const Page& page : kPages) {
    kanji::DocumentAnalysis analysis;
    const Lines lines = ours(page, analysis);
    EXPECT_EQ(analysis.encoding, page.encoding) << page.name;
    EXPECT_EQ(analysis.syntax, page.syntax) << page.name;
    EXPECT_EQ(analysis.dtd, page.dtd) << page.name;
    EXPECT_EQ(lines, document_corpus::directLines(page, folder_)) << page.name;

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
  EXPECT_EQ(count, kPages.size());
}

// Under CP932 the UTF-8 messages arrive as CP932, like the direct run's
// lines converted by iconv.
TEST_F(DocumentCorpus, Cp932GetsTheSameMessagesInCp932) {
  CodePageScope cp932(platform::CodePage::Cp932);
  for (const Page& page : kPages) {
    const std::string name = page.name;
    if (name != "utf8-meta-errors.html" && name != "utf8-undeclared-errors.html" &&
        name != "xhtml10-transitional-errors.html") {
      continue;
    }
    kanji::DocumentAnalysis analysis;
    const Lines lines = ours(page, analysis);
    std::string expected;
    for (const std::string& line : document_corpus::directLines(page, folder_)) {
      expected += line + "\n";
    }
    const std::string utf8 = test_support::writeFile(folder_ + "expected.utf8", expected);
    const std::string cp932 = folder_ + "expected.cp932";
    ASSERT_EQ(std::system(("iconv -f UTF-8 -t CP932 < '" + utf8 + "' > '" + cp932 + "'").c_str()),
              0)
        << name;
    EXPECT_EQ(lines, document_corpus::splitLines(test_support::readFile(cp932))) << name;
  }
}

}  // namespace
