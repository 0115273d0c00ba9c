#include "engine/dtd_notice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/code_page_scope.h"

namespace {

using kanji::DtdKind;
using Lines = std::vector<std::string>;

kanji::DocumentAnalysis analysis(DtdKind dtd, std::string doctype = "") {
  kanji::DocumentAnalysis result;
  result.dtd = dtd;
  result.doctypeText = std::move(doctype);
  return result;
}

const char kNoSubset[] =
    "1:15:E: no internal or external document type declaration subset; will parse without "
    "validation";
const char kProlog[] =
    "2:0:E: prolog can't be omitted unless CONCUR NO and LINK EXPLICIT NO and either IMPLYDEF "
    "ELEMENT YES or IMPLYDEF DOCTYPE YES";
const char kNoDoctype[] = "2:0:E: no document type declaration; will parse without validation";
const char kProlog4[] = "1:0:E: character \"4\" not allowed in prolog";
const char kPrologEnd[] = "1:6:E: end of document in prolog";
const char kParseError[] = "4:9:E: end tag for element \"B\" which is not open";

TEST(DtdNotice, ReplacesTheValidatorsNotesWithOneLine) {
  const std::string html5 = "I: HTML5 文書は DTD による検査ができません (<!doctype html>)";
  const std::string missing = "I: DOCTYPE 宣言のない文書は DTD による検査ができません";
  struct Case {
    const char* what;
    DtdKind dtd;
    Lines lines;
    Lines expected;
  };
  const Case cases[] = {
      {"HTML5, valid", DtdKind::Html5, {kNoSubset}, {html5}},
      {"HTML5 keeps its parse errors",
       DtdKind::Html5,
       {kNoSubset, kParseError},
       {html5, kParseError}},
      {"HTML5 without the note", DtdKind::Html5, {kParseError}, {kParseError}},
      {"no doctype: two notes become one",
       DtdKind::Missing,
       {kProlog, kNoDoctype, kParseError},
       {missing, kParseError}},
      {"no doctype, error before the notes",
       DtdKind::Missing,
       {kParseError, kProlog, kNoDoctype},
       {kParseError, missing}},
      {"a named DTD keeps every line",
       DtdKind::Declared,
       {kNoSubset, kProlog, kParseError},
       {kNoSubset, kProlog, kParseError}},
      {"an HTML5 document keeps no-doctype notes", DtdKind::Html5, {kNoDoctype}, {kNoDoctype}},
      {"a note quoted inside another message stays",
       DtdKind::Html5,
       {"3:1:E: no internal or external document type declaration subset; will parse without "
        "validation\" here"},
       {"3:1:E: no internal or external document type declaration subset; will parse without "
        "validation\" here"}},
      {"no doctype, text alone draws no note",
       DtdKind::Missing,
       {kProlog4, kPrologEnd},
       {missing, kProlog4, kPrologEnd}},
      {"no doctype, nothing written", DtdKind::Missing, {}, {missing}},
      {"HTML5, nothing written", DtdKind::Html5, {}, {}},
  };
  for (const Case& c : cases) {
    const auto result = explainMissingDtd(c.lines, analysis(c.dtd, "<!doctype html>"));
    EXPECT_EQ(result, c.expected) << c.what;
  }
}

TEST(DtdNotice, WritesTheProgramsCodePage) {
  CodePageScope cp932(platform::CodePage::Cp932);
  const auto result = explainMissingDtd({kProlog, kNoDoctype}, analysis(DtdKind::Missing));
  ASSERT_EQ(result.size(), 1u);
  // "I: DOCTYPE 宣言" in CP932.
  EXPECT_EQ(result[0].rfind("I: DOCTYPE \x90\xE9\x8C\xBE", 0), 0u) << result[0];
}

TEST(DtdNotice, ALateNoteIsFoldedAfterTheLookAhead) {
  // Lines read one at a time wait for a note only so long: a note after
  // them is dropped, the notice having come first.
  const std::string missing = "I: DOCTYPE 宣言のない文書は DTD による検査ができません";
  Lines lines(DtdNoticeFilter::kLookAhead, kParseError);
  lines.push_back(kNoDoctype);
  Lines expected(DtdNoticeFilter::kLookAhead, kParseError);
  expected.insert(expected.begin(), missing);
  EXPECT_EQ(explainMissingDtd(lines, analysis(DtdKind::Missing)), expected);
}

}  // namespace
