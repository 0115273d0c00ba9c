#include "platform/validator_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/code_page_scope.h"

namespace {

using platform::CodePage;
using platform::ValidatorEncoding;

TEST(Utf8Converter, PassesEveryByteUnderUtf8) {
  platform::Utf8Converter converter;
  for (const std::string line :
       {"12:5:E: element \"X\" undefined", "1:2:E: 日本語 \"〜\"", "a\xFF\xC3", "\xE6\x97"}) {
    EXPECT_EQ(converter.toCodePage(line), line);
  }
}

TEST(Utf8Converter, ToCp932WithGetaMarkForWhatItLacks) {
  CodePageScope cp932(CodePage::Cp932);
  platform::Utf8Converter converter;
  const struct {
    const char* what;
    std::string in;
    std::string out;
  } cases[] = {
      {"ASCII", "3:1:E: element \"BLINK\" undefined", "3:1:E: element \"BLINK\" undefined"},
      {"kanji and kana", "日本あ", "\x93\xFA\x96\x7B\x82\xA0"},
      {"wave dash and full-width tilde", "〜～", "\x81\x60\x81\x60"},
      {"NEC special characters", "①㈱", "\x87\x40\x87\x8A"},
      {"half-width katakana", "ｱ", "\xB1"},
      {"Latin letter CP932 lacks", "caf\xC3\xA9!", "caf\x81\xAC!"},
      {"emoji", "a\xF0\x9F\x98\x80z", "a\x81\xACz"},
      {"character cut at the end of a piece", "ab\xE6\x97", "ab\x81\xAC"},
      {"rest of a cut character at the start",
       "\x97\xA5"
       "cd",
       "\x81\xAC"
       "cd"},
      {"stray bytes between characters", "日\xFF\xFE本", "\x93\xFA\x81\xAC\x96\x7B"},
      {"surrogate", "\xED\xA0\x80x", "\x81\xACx"},
  };
  for (const auto& c : cases) EXPECT_EQ(converter.toCodePage(c.in), c.out) << c.what;
}

TEST(ValidatorText, ConvertsByTheEncodingOfTheCopy) {
  EXPECT_STREQ(platform::spEncodingName(ValidatorEncoding::EucJp), "EUC-JP");
  EXPECT_STREQ(platform::spEncodingName(ValidatorEncoding::Utf8), "UTF-8");
  const struct {
    CodePage codePage;
    ValidatorEncoding encoding;
    std::string in;
    std::string out;
  } cases[] = {
      {CodePage::Utf8, ValidatorEncoding::EucJp, "\xC6\xFC\xCB\xDC", "日本"},
      {CodePage::Utf8, ValidatorEncoding::Utf8, "日本", "日本"},
      {CodePage::Cp932, ValidatorEncoding::EucJp, "\xC6\xFC\xCB\xDC", "\x93\xFA\x96\x7B"},
      {CodePage::Cp932, ValidatorEncoding::Utf8, "日本", "\x93\xFA\x96\x7B"},
      // The same bytes read by the wrong encoding would garble the line.
      {CodePage::Utf8, ValidatorEncoding::EucJp, "日", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    CodePageScope scope(c.codePage);
    platform::ValidatorText text;
    EXPECT_EQ(text.toCodePage(c.in, c.encoding), c.out) << c.in;
  }
}

}  // namespace
