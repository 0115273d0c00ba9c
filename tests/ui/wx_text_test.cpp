#include "ui/wx_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/code_page_scope.h"

namespace {

std::string allBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(WxText, RoundTripsEveryByteStringUnderBothCodePages) {
  std::mt19937 random(7);
  std::vector<std::string> samples = {
      "",
      allBytes(),
      std::string("a\0b", 3),
      "C:\\docs\\a.htm",
      "検査終了",                              // UTF-8
      "\x8c\x9f\x8d\xb8\x8f\x49\x97\xb9",      // CP932 of the same
      "\x95\x5c\x5c",                          // CP932 lead byte with a 0x5C trail
      "\xef\x9c\x80\xef\x9f\xbf",              // UTF-8 of U+F700 and U+F7FF, the escape range
      "\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80",  // overlong, surrogate, beyond U+10FFFF
      "\xe6\x97",                              // cut sequence at the end
  };
  for (int i = 0; i < 200; ++i) {
    std::string bytes;
    for (int j = 0; j < 40; ++j) bytes += static_cast<char>(random() & 0xFF);
    samples.push_back(bytes);
  }
  for (platform::CodePage codePage : {platform::CodePage::Utf8, platform::CodePage::Cp932}) {
    CodePageScope scope(codePage);
    for (const std::string& bytes : samples) {
      EXPECT_EQ(fromWx(toWx(bytes)), bytes) << "code page " << static_cast<int>(codePage);
    }
  }
}

TEST(WxText, DecodesValidTextAsCharacters) {
  {
    CodePageScope scope(platform::CodePage::Utf8);
    EXPECT_EQ(toWx("検査終了"), wxString::FromUTF8("検査終了"));
    EXPECT_EQ(toWx("ﾚﾃﾞｨ").length(), 4u);
  }
  {
    CodePageScope scope(platform::CodePage::Cp932);
    EXPECT_EQ(toWx("\x8c\x9f\x8d\xb8\x8f\x49\x97\xb9"), wxString::FromUTF8("検査終了"));
    EXPECT_EQ(fromWx(wxString::FromUTF8("表")), "\x95\x5c");
  }
}

}  // namespace
