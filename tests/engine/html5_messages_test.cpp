// The HTML5 checker's answers as pane lines, which document goes to which
// checker with which Content-Type, and message filters.
#include "engine/html5_messages.h"

#include <gtest/gtest.h>

#include "engine/html5_invocation.h"
#include "engine/message_filter.h"
#include "engine/message_parts.h"
#include "kanji/document_analysis.h"
#include "tests/code_page_scope.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<ReportLine> linesOf(const std::string& answer, Html5Listing* listing = nullptr) {
  std::vector<ReportLine> lines;
  platform::ValidatorText converter;
  const Html5Listing result = listHtml5Messages(answer, lines, converter);
  if (listing != nullptr) *listing = result;
  return lines;
}

TEST(Html5Messages, BecomeLinesOfTheValidatorsForm) {
  const struct {
    const char* message;
    const char* line;
    int itemLine;
  } cases[] = {
      {R"({"type":"error","lastLine":2,"lastColumn":54,"firstColumn":51,"message":"No p."})",
       "2:53:E: No p.", 2},
      // lastLine wins over firstLine; firstColumn stands in for lastColumn.
      {R"({"type":"info","subType":"warning","firstLine":1,"lastLine":2,"lastColumn":6,
          "message":"Consider lang."})",
       "2:5:W: Consider lang.", 2},
      {R"({"type":"info","firstLine":7,"firstColumn":3,"message":"Note."})", "7:2:I: Note.", 7},
      {R"({"type":"error","message":"No encoding declared."})", "E: No encoding declared.", 0},
      {R"({"type":"error","lastLine":4,"message":"No column."})", "4:0:E: No column.", 4},
      {R"({"type":"error","subType":"fatal","lastLine":1,"lastColumn":1,"message":"Fatal."})",
       "1:0:E: Fatal.", 1},
      {R"({"type":"error","lastLine":1,"lastColumn":1,"message":"two\nlines\r"})",
       "1:0:E: two lines ", 1},
      // Numbers that are no line.
      {R"({"type":"error","lastLine":-3,"lastColumn":"5","message":"Odd."})", "E: Odd.", 0},
      {R"({"type":"mystery","message":7})", "I: ", 0},
  };
  for (const auto& c : cases) {
    const std::vector<ReportLine> lines =
        linesOf(std::string(R"({"messages":[)") + c.message + "]}");
    ASSERT_EQ(lines.size(), 1u) << c.message;
    EXPECT_EQ(lines[0].text, c.line) << c.message;
    EXPECT_EQ(lines[0].itemLine, c.itemLine) << c.message;
    EXPECT_TRUE(lines[0].hasItem);
  }
}

TEST(Html5Messages, ColumnsReachGnuAndJsonAsTheCheckerCountsThem) {
  const std::vector<ReportLine> lines =
      linesOf(R"({"messages":[{"type":"error","lastLine":3,"lastColumn":10,"message":"x"}]})");
  ASSERT_EQ(lines.size(), 1u);
  const MessageParts parts = splitMessageLine(lines[0].text);
  EXPECT_EQ(parts.line, 3);
  EXPECT_EQ(parts.column + 1, 10);  // what gnu and json write
  EXPECT_EQ(severityOf(parts.kind), Severity::Error);
}

TEST(Html5Messages, ANonDocumentErrorMeansTheDocumentWasNotChecked) {
  Html5Listing listing;
  const std::vector<ReportLine> lines = linesOf(
      R"({"messages":[{"type":"non-document-error","subType":"io","lastLine":3,
          "message":"Cannot read."}]})",
      &listing);
  EXPECT_TRUE(listing.readable);
  EXPECT_TRUE(listing.nonDocumentError);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "E: Cannot read.");
}

TEST(Html5Messages, AnAnswerThatIsNotTheCheckersIsUnreadable) {
  for (const char* answer : {"", "<html>busy</html>", "[]", R"({"messages":{}})", "{\"messages\":[",
                             R"({"version":"1"})"}) {
    Html5Listing listing;
    EXPECT_TRUE(linesOf(answer, &listing).empty()) << answer;
    EXPECT_FALSE(listing.readable) << answer;
  }
  Html5Listing listing;
  EXPECT_TRUE(linesOf(R"({"messages":[]})", &listing).empty());
  EXPECT_TRUE(listing.readable);
}

TEST(Html5Messages, TextsCp932CannotHoldBecomeGetaMarks) {
  CodePageScope cp932(platform::CodePage::Cp932);
  const std::vector<ReportLine> lines = linesOf(
      "{\"messages\":[{\"type\":\"error\",\"lastLine\":1,\"lastColumn\":1,"
      "\"message\":\"\xE2\x80\x9C\xE6\x97\xA5\xE2\x80\x9D \xF0\x9F\x98\x80\"}]}");
  ASSERT_EQ(lines.size(), 1u);
  // The curly quotes and 日 exist in CP932; the emoji does not.
  EXPECT_EQ(lines[0].text, "1:0:E: \x81\x67\x93\xFA\x81\x68 \x81\xAC");
}

TEST(Html5Checkers, DocumentsWithoutADtdGoToTheHtml5Checker) {
  const struct {
    const char* document;
    bool html5;
  } cases[] = {
      {"<!DOCTYPE html><title>x</title>", true},
      {"<!doctype HTML >\n<p>", true},
      {"<!DOCTYPE html SYSTEM \"about:legacy-compat\"><title>x</title>", true},
      {"<!DOCTYPE html SYSTEM 'about:legacy-compat'><title>x</title>", true},
      {"<p>no doctype", true},
      {"<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"></html>", true},
      {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><title>x</title>", false},
      {"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"><html></html>",
       false},
      {"<!DOCTYPE html SYSTEM \"other.dtd\"><p>", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(goesToHtml5Checker(kanji::analyseDocument(c.document)), c.html5) << c.document;
  }
}

TEST(Html5Checkers, ContentTypeKeepsTheServersOrFollowsTheSyntax) {
  const kanji::DocumentAnalysis html = kanji::analyseDocument("<!DOCTYPE html><p>");
  const kanji::DocumentAnalysis xml = kanji::analyseDocument(
      "<?xml version=\"1.0\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"/>");
  // XML of no namespace, as some documentation generators write it, is
  // HTML to a browser; so is XML of another namespace.
  const kanji::DocumentAnalysis bareXml =
      kanji::analyseDocument("<?xml version=\"1.0\"?>\n<html>\n<head><title>t</title>");
  const kanji::DocumentAnalysis otherXml = kanji::analyseDocument(
      "<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\"/>");
  const kanji::DocumentAnalysis xhtml5 = kanji::analyseDocument(
      "<?xml version='1.0'?>\n<!-- a -->\n<!DOCTYPE html>\n<?pi?>\n"
      "<html lang='ja'\n xmlns='http://www.w3.org/1999/xhtml'><head>");
  const struct {
    const kanji::DocumentAnalysis* analysis;
    const char* http;
    const char* sent;
  } cases[] = {
      {&html, "", "text/html"},
      {&xml, "", "application/xhtml+xml"},
      {&html, "text/html; charset=Shift_JIS", "text/html; charset=Shift_JIS"},
      {&html, " Application/XHTML+XML ", " Application/XHTML+XML "},
      {&xml, "text/html", "text/html"},
      {&html, "text/plain; charset=\"EUC-JP\"", "text/html; charset=euc-jp"},
      {&xml, "application/octet-stream", "application/xhtml+xml"},
      {&bareXml, "", "text/html"},
      {&otherXml, "", "text/html"},
      {&xhtml5, "", "application/xhtml+xml"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(html5ContentType(*c.analysis, c.http), c.sent) << c.http;
  }
}

TEST(MessageFilter, DropsTheCheckersMatchingMessagesOnly) {
  MessageFilter filter;
  std::string failure;
  ASSERT_TRUE(filter.add("lang", &failure));
  ASSERT_TRUE(filter.add("^\\d+:\\d+:W:", &failure));
  std::vector<ReportLine> lines = {
      {"2:5:W: any warning", true, 2},
      {"3:1:E: Consider adding a lang attribute", true, 3},
      {"4:1:E: kept", true, 4},
      {"I: HTML5 文書は DTD による検査ができません (<!DOCTYPE html>)", true, 0},
      {"E: 入力ファイルを開けない: lang.html", true, -1},  // the run's own line
  };
  filter.apply(lines);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "4:1:E: kept");
  EXPECT_EQ(lines[2].text, "E: 入力ファイルを開けない: lang.html");
}

TEST(MessageFilter, ReadsAFileOfPatternsAndRefusesBadOnes) {
  test_support::TempFolder folder("message_filter");
  const std::string good =
      test_support::writeFile(folder.path() + "good", "# comment\r\n\r\nfoo\r\nb.r\n");
  const std::string bad = test_support::writeFile(folder.path() + "bad", "ok\n(unclosed\n");
  MessageFilter filter;
  std::string failure;
  ASSERT_TRUE(filter.addFile(good, &failure)) << failure;
  EXPECT_TRUE(filter.drops(ReportLine{"1:0:E: bar", true, 1}));
  EXPECT_FALSE(filter.drops(ReportLine{"1:0:E: # comment", true, 1}));
  EXPECT_FALSE(filter.addFile(bad, &failure));
  EXPECT_NE(failure.find(bad + ":2: bad message filter \"(unclosed\""), std::string::npos)
      << failure;
  EXPECT_FALSE(filter.addFile(folder.path() + "missing", &failure));
  EXPECT_NE(failure.find("missing"), std::string::npos);
  EXPECT_FALSE(filter.add("[z-a]", &failure));
}

}  // namespace
