// Splitting report lines into position, kind and text.
#include "engine/message_parts.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(MessageParts, SplitsEachFormTheValidatorAndTheRunWrite) {
  const struct {
    const char* line;
    const char* file;
    int line_;
    int column;
    char kind;
    const char* text;
  } cases[] = {
      {"12:5:E: element \"X\" undefined", "", 12, 5, 'E', "element \"X\" undefined"},
      {"8:9: start tag was here", "", 8, 9, 0, "start tag was here"},
      {"3:15:X: reference to non-existent ID \"NOPE\"", "", 3, 15, 'X',
       "reference to non-existent ID \"NOPE\""},
      {"1:0:Q: length of name must not exceed NAMELEN", "", 1, 0, 'Q',
       "length of name must not exceed NAMELEN"},
      {"4:1:E:", "", 4, 1, 'E', ""},
      {"/usr/share/sgml/html.dtd:100:2:W: another file", "/usr/share/sgml/html.dtd", 100, 2, 'W',
       "another file"},
      {"/a:b/c.dtd:7:3: colons in the name", "/a:b/c.dtd", 7, 3, 0, "colons in the name"},
      {"E: 入力ファイルを開けない: /a/b.htm", "", 0, 0, 'E', "入力ファイルを開けない: /a/b.htm"},
      {"I: maximum number of errors (200) reached; change with -E option", "", 0, 0, 'I',
       "maximum number of errors (200) reached; change with -E option"},
      {"E: ダウンロードに失敗", "", 0, 0, 'E', "ダウンロードに失敗"},
      // No position and no kind: the text as it stands.
      {"no colon after the second byte", "", 0, 0, 0, "no colon after the second byte"},
      {"42 starts with a number", "", 0, 0, 0, "42 starts with a number"},
      {"  -7:1:E: negative", "", 0, 0, 0, "  -7:1:E: negative"},
      {"crlf:5", "", 0, 0, 0, "crlf:5"},
      {"e: lower case is no kind", "", 0, 0, 0, "e: lower case is no kind"},
      {"EE: two letters", "", 0, 0, 0, "EE: two letters"},
      {":1:2:E: no name before", "", 0, 0, 0, ":1:2:E: no name before"},
      {"x.dtd:1:2:text run on", "", 0, 0, 0, "x.dtd:1:2:text run on"},
      {"", "", 0, 0, 0, ""},
      {"99999999999:1:E: too large", "", INT_MAX, 1, 'E', "too large"},
  };
  for (const auto& c : cases) {
    const MessageParts parts = splitMessageLine(c.line);
    EXPECT_EQ(parts.file, c.file) << c.line;
    EXPECT_EQ(parts.line, c.line_) << c.line;
    EXPECT_EQ(parts.column, c.column) << c.line;
    EXPECT_EQ(parts.kind, c.kind) << c.line;
    EXPECT_EQ(parts.text, c.text) << c.line;
  }
}

TEST(MessageParts, ErrorsAreEQAndXWarningsW) {
  const struct {
    char kind;
    Severity severity;
    const char* name;
  } cases[] = {
      {'E', Severity::Error, "error"}, {'Q', Severity::Error, "error"},
      {'X', Severity::Error, "error"}, {'W', Severity::Warning, "warning"},
      {'I', Severity::Info, "info"},   {0, Severity::Info, "info"},
      {'Z', Severity::Info, "info"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(severityOf(c.kind), c.severity) << c.kind;
    EXPECT_STREQ(severityName(severityOf(c.kind)), c.name) << c.kind;
  }
}

}  // namespace
