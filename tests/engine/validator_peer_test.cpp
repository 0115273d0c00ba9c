// The check run against the real validator: every document gives the lines
// that a direct onsgmls run on the same document, converted by nkf, gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/process.h"
#include "tests/support/check_run_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class ValidatorPeerTest : public CheckRunTest {
 protected:
  void SetUp() override {
    CheckRunTest::SetUp();
    if (platform::findProgram("onsgmls").empty() || platform::findProgram("nkf").empty()) {
      GTEST_SKIP() << "needs onsgmls and nkf";
    }
  }

  static std::string catalog() {
    const std::string exe = platform::executablePath();
    return exe.substr(0, exe.rfind('/') + 1) + "catalog";
  }

  // The lines a direct run gives: nkf converts to EUC-JP with CR LF, onsgmls
  // checks, iconv turns the messages into UTF-8, and each line is shown from
  // after "$conv.sgml:" or else from after the program name.
  Texts directRun(const std::string& document) {
    const std::string peer = folder_ + "peer/";
    shell("mkdir -p '" + peer + "' && nkf -x -e -Lw < '" + document + "' > '" + peer +
          "$conv.sgml'");
    std::system(("onsgmls -c'" + catalog() + "' -f'" + peer + "err' -s '" + peer +
                 "$conv.sgml'; iconv -f EUC-JP -t UTF-8 < '" + peer + "err' > '" + peer + "out'")
                    .c_str());
    Texts lines{"-------- " + document};
    std::string text = readFile(peer + "out");
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      const std::size_t conv = line.find("$conv.sgml:");
      line = conv != std::string::npos ? line.substr(conv + 11) : line.substr(line.find(':') + 1);
      lines.push_back(line);
      start = end + 1;
    }
    lines.push_back("検査終了");
    return lines;
  }

  // Copies a sample into this test's own folder, so that parallel tests never
  // share the intermediate file beside it.
  std::string sample(const std::string& name) {
    shell("cp '" TESSAVO_SOURCE_DIR "/samples/" + name + "' '" + docs() + name + "'");
    return docs() + name;
  }
};

TEST_F(ValidatorPeerTest, EachEncodingGivesTheDirectRunsLines) {
  for (const char* name : {"ascii-valid.html", "html2-valid.html", "shift_jis-valid.html",
                           "euc-jp-errors.html", "iso-2022-jp-errors.html"}) {
    targets_.clear();
    const std::string document = sample(name);
    fileTarget(document);
    const auto lines = check("");
    const Texts expected = directRun(document);
    EXPECT_EQ(pane_.texts(), expected) << name;
    // Each message carries the number it starts with.
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
      EXPECT_EQ(lines[i].line, std::atoi(lines[i].text.c_str())) << lines[i].text;
    }
    EXPECT_FALSE(exists(docs() + "$conv.sgml"));
  }
}

TEST_F(ValidatorPeerTest, ValidDocumentsGiveOnlyTheirHeader) {
  fileTarget(sample("ascii-valid.html"));
  fileTarget(sample("shift_jis-valid.html"));
  check("");
  EXPECT_EQ(pane_.texts(), (Texts{"-------- " + docs() + "ascii-valid.html",
                                  "-------- " + docs() + "shift_jis-valid.html", "検査終了"}));
}

TEST_F(ValidatorPeerTest, JapaneseInMessagesArrivesInUtf8) {
  fileTarget(sample("euc-jp-errors.html"));
  check("");
  bool found = false;
  for (const std::string& text : pane_.texts()) {
    if (text.find("cannot be \"右\"") != std::string::npos) found = true;
  }
  EXPECT_TRUE(found);
}

TEST_F(ValidatorPeerTest, MessagesAboutOtherFilesKeepTheirNameAndCarryZero) {
  writeFile(docs() + "bad.dtd", "<!ELEMENT x - - (#PCDATA)>\n<!ELEMENT y - - (BOGUS>\n");
  fileTarget(writeFile(docs() + "a.sgml",
                       "<!DOCTYPE x SYSTEM \"" + docs() + "bad.dtd\">\n<x>a</x>\n<z>\n"));
  const auto lines = check("");
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1].text.rfind(docs() + "bad.dtd:2:", 0), 0u) << lines[1].text;
  EXPECT_EQ(lines[1].line, 0);
  EXPECT_EQ(pane_.texts(), directRun(docs() + "a.sgml"));
}

}  // namespace
