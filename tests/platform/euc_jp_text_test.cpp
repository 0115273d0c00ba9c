#include "platform/euc_jp_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/code_page_scope.h"

namespace {

using platform::CodePage;

TEST(EucJpConverter, ToUtf8) {
  platform::EucJpConverter converter;
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"12:5:E: element \"X\" undefined", "12:5:E: element \"X\" undefined"},
      {"", ""},
      {"\xC6\xFC\xCB\xDC:1", "日本:1"},
      {"\x8E\xB1", "ｱ"},  // half-width katakana
      {"\xA2\xAE", "〓"},
      {"a\xFF"
       "b",
       "a\xEF\xBF\xBD"
       "b"},                       // a byte that starts nothing
      {"a\xC6", "a\xEF\xBF\xBD"},  // cut off at the end
      {"\xC6"
       "A",
       "\xEF\xBF\xBD"
       "A"},  // a lead byte before ASCII
      {"\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(converter.toCodePage(c.in), c.out) << c.in;
}

TEST(EucJpConverter, ToCp932ByRowAndCell) {
  CodePageScope cp932(CodePage::Cp932);
  platform::EucJpConverter converter;
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"ascii only", "ascii only"},
      {"\xC6\xFC\xCB\xDC", "\x93\xFA\x96\x7B"},  // 日本
      {"\xA1\xC1", "\x81\x60"},                  // wave dash, row 1
      {"\xA2\xAE", "\x81\xAC"},                  // row 2 cell 14
      {"\xA4\xA2", "\x82\xA0"},                  // あ
      {"\xA5\xDF", "\x83\x7E"},                  // ミ, cell 63
      {"\xA5\xE0", "\x83\x80"},                  // ム, cell 64: 0x7F is skipped
      {"\xB0\xA1", "\x88\x9F"},                  // 亜, row 16
      {"\xDF\xA1", "\xE0\x40"},                  // row 63 starts the second lead range
      {"\xF4\xA6", "\xEA\xA4"},                  // the last JIS X 0208 kanji
      {"\x8E\xB1", "\xB1"},
      {"\x8F\xB0\xA1x", "?x"},  // JIS X 0212: not in CP932
      {"a\xFF"
       "b",
       "a?b"},
  };
  for (const auto& c : cases) EXPECT_EQ(converter.toCodePage(c.in), c.out) << c.in;
}

}  // namespace
