// The check run itself over the pages of tests/data/documents, with the real
// validator: every page lists exactly what the validator run directly on it
// gives (its no-DTD notes made plain), each line tagged with its line number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/dtd_notice.h"
#include "kanji/document_analysis.h"
#include "net/decimal_text.h"
#include "tests/engine/document_corpus.h"
#include "tests/support/check_run_fixture.h"
#include "tests/support/file_contents.h"

namespace {

using document_corpus::Page;

class CheckRunCorpus : public CheckRunTest {
 protected:
  void SetUp() override {
    CheckRunTest::SetUp();
    if (!document_corpus::haveCorpusPeers()) GTEST_SKIP() << "needs onsgmls, nkf and iconv";
  }
};

TEST_F(CheckRunCorpus, EveryPageListsTheDirectRunsLines) {
  std::vector<const Page*> pages;
  for (const Page& page : document_corpus::kPages) {
    // A page whose charset only a download's Content-Type gives is checked
    // over http elsewhere.
    if (*page.contentType != '\0') continue;
    fileTarget(document_corpus::kDocuments + page.name);
    pages.push_back(&page);
  }
  const std::vector<PaneLine> lines = check("");

  std::vector<std::string> expected;
  for (const Page* page : pages) {
    const std::string path = document_corpus::kDocuments + page->name;
    expected.push_back("-------- " + path);
    const auto analysis = kanji::analyseDocument(test_support::readFile(path));
    for (const std::string& line :
         explainMissingDtd(document_corpus::directLines(*page, folder_), analysis)) {
      expected.push_back(line);
    }
  }
  expected.push_back("検査終了");
  EXPECT_EQ(pane_.texts(), expected);
  EXPECT_FALSE(incomplete_);

  for (const PaneLine& line : lines) {
    if (!line.hasItem || line.line < 0) continue;
    EXPECT_EQ(line.line, net::leadingDecimal(line.text.c_str())) << line.text;
  }
}

}  // namespace
