// The check run against the real validator: every document gives the lines
// that a direct onsgmls run on the same document, converted by nkf, gives.
#include <gtest/gtest.h>

#include <filesystem>
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
    std::system(("SP_CHARSET_FIXED=YES SP_ENCODING=EUC-JP onsgmls -c'" + catalog() + "' -f'" +
                 peer + "err' -s '" + peer + "$conv.sgml'; iconv -f EUC-JP -t UTF-8 < '" + peer +
                 "err' > '" + peer + "out'")
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

  // Copies a sample into `folder` (this test's documents folder when none is
  // given).
  std::string sample(const std::string& name, std::string folder = std::string()) {
    if (folder.empty()) folder = docs();
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(TESSAVO_SOURCE_DIR "/samples/" + name, folder + name,
                               std::filesystem::copy_options::overwrite_existing);
    return folder + name;
  }

  // The pane's lines after the first target's header.
  Texts linesAfterHeader() {
    const Texts texts = pane_.texts();
    return texts.empty() ? texts : Texts(texts.begin() + 1, texts.end());
  }

  // A private temporary folder at `path`, for the runs from now on.
  void useTempFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
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

TEST_F(ValidatorPeerTest, AMessageQuotingALongValueShowsWhole) {
  const std::string value(1250, 'A');
  fileTarget(writeFile(docs() + "dir.html",
                       "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
                       "<title>t</title>\n<p dir=\"" +
                           value + "\">x\n"));
  const auto lines = check("");
  EXPECT_EQ(pane_.texts(), directRun(docs() + "dir.html"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "3:1258:E: value of attribute \"DIR\" cannot be \"" + value +
                               "\"; must be one of \"LTR\", \"RTL\"");
  EXPECT_EQ(lines[1].line, 3);
}

// A page in UTF-16 or UTF-32 with a byte order mark gives the lines the same
// page in UTF-8 gives.
TEST_F(ValidatorPeerTest, WideUnicodePagesGiveTheLinesOfTheirUtf8Form) {
  if (platform::findProgram("iconv").empty()) GTEST_SKIP() << "needs iconv";
  const struct {
    const char* form;
    const char* mark;
  } forms[] = {{"UTF-16LE", "\\377\\376"},
               {"UTF-16BE", "\\376\\377"},
               {"UTF-32LE", "\\377\\376\\0\\0"},
               {"UTF-32BE", "\\0\\0\\376\\377"}};
  for (const char* page :
       {"utf8-meta-errors.html", "utf8-crlf-errors.html", "html5-parse-errors.html",
        "no-doctype-utf8.html", "xhtml10-transitional-errors.html"}) {
    const std::string utf8 = docs() + "utf8-" + page;
    shell("cp '" TESSAVO_SOURCE_DIR "/tests/data/documents/" + std::string(page) + "' '" + utf8 +
          "'");
    targets_.clear();
    fileTarget(utf8);
    check("");
    const Texts expected = linesAfterHeader();
    EXPECT_GT(expected.size(), 1u) << page;
    for (const auto& f : forms) {
      const std::string wide = docs() + f.form + "-" + page;
      shell("{ printf '" + std::string(f.mark) + "'; iconv -f UTF-8 -t " + f.form + " '" + utf8 +
            "'; } > '" + wide + "'");
      targets_.clear();
      fileTarget(wide);
      check("");
      EXPECT_EQ(linesAfterHeader(), expected) << f.form << " " << page;
    }
  }
}

TEST_F(ValidatorPeerTest, DocumentsInJapaneseFoldersWithQuotesInOtherPaths) {
  // The temporary folder holds quotes and blanks, the document's folder is
  // Japanese, and the user exported an encoding of their own.
  useTempFolder(folder_ + "te\"mp 'x'");
  const std::string japanese = docs() + "日本語 フォルダ/";
  ::setenv("SP_ENCODING", "UTF-8", 1);
  for (const char* name : {"euc-jp-errors.html", "shift_jis-valid.html"}) {
    targets_.clear();
    fileTarget(sample(name, japanese));
    check("");
    EXPECT_EQ(pane_.texts(), directRun(japanese + name)) << name;
  }
  // A relative system identifier still resolves in the document's folder,
  // and the message about that file names its real path.
  writeFile(japanese + "bad.dtd", "<!ELEMENT x - - (#PCDATA)>\n<!ELEMENT y - - (BOGUS>\n");
  targets_.clear();
  fileTarget(writeFile(japanese + "a.sgml", "<!DOCTYPE x SYSTEM \"bad.dtd\">\n<x>a</x>\n<z>\n"));
  const auto lines = check("");
  ::unsetenv("SP_ENCODING");
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1].text.rfind(japanese + "bad.dtd:2:", 0), 0u) << lines[1].text;
  EXPECT_EQ(lines[1].line, 0);
  EXPECT_EQ(lines[lines.size() - 2].text, "3:2:E: element \"Z\" undefined");
  EXPECT_EQ(lines[lines.size() - 2].line, 3);
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(ValidatorPeerTest, ValidatorPathsWithQuotesAndColons) {
  for (const char* folder : {"v:a\"b", "日本語 \"ツール\""}) {
    const std::string link = folder_ + folder + "/onsgmls";
    std::filesystem::create_directories(folder_ + folder);
    std::filesystem::create_symlink(platform::findProgram("onsgmls"), link);
    targets_.clear();
    fileTarget(sample("euc-jp-errors.html"));
    check(link);
    EXPECT_EQ(pane_.texts(), directRun(docs() + "euc-jp-errors.html")) << folder;
  }
}

TEST_F(ValidatorPeerTest, ReadOnlyFoldersAreCheckedAndLeftAsTheyWere) {
  const std::string readOnly = docs() + "read-only/";
  fileTarget(sample("iso-2022-jp-errors.html", readOnly));
  writeFile(readOnly + "$conv.sgml", "the user's own file\n");
  shell("chmod 555 '" + readOnly + "'");
  const std::string listing = "ls -la --time-style=full-iso '" + readOnly + "'";
  shell(listing + " > '" + folder_ + "before'");
  check("");
  shell(listing + " > '" + folder_ + "after'");
  shell("chmod 755 '" + readOnly + "'");
  EXPECT_EQ(pane_.texts(), directRun(readOnly + "iso-2022-jp-errors.html"));
  EXPECT_EQ(readFile(folder_ + "after"), readFile(folder_ + "before"));
  EXPECT_EQ(readFile(readOnly + "$conv.sgml"), "the user's own file\n");
}

}  // namespace
