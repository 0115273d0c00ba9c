#include "platform/ascii_case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::equalsIgnoringAsciiCase;
using platform::lessIgnoringAsciiCase;

TEST(AsciiCase, FoldsOnlyTheAsciiLetters) {
  // The bytes just outside A-Z, and bytes of multibyte text (UTF-8 "À"
  // and "あ", CP932 "ア" with a trail byte in the letter range), stay as
  // they are.
  EXPECT_EQ(platform::toLowerAscii(std::string("@AZ[`az{")), "@az[`az{");
  EXPECT_EQ(platform::toLowerAscii(std::string("\xC3\x80\xE3\x81\x82\x83\x41")),
            "\xC3\x80\xE3\x81\x82\x83\x61");
  EXPECT_EQ(platform::toLowerAscii('\xC3'), '\xC3');
}

TEST(AsciiCase, ComparesAndOrdersFoldedBytes) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
    bool less;  // a before b
  } cases[] = {
      {"Index.HTM", "index.htm", true, false},
      {"chunked", "CHUNKED", true, false},
      {"chunked", "chunke", false, false},
      {"", "", true, false},
      {"a", "B", false, true},
      {"B", "a", false, false},
      {"B.htm", "b.html", false, true},  // a prefix comes first
      {"Z", "_", false, false},          // folded down: 'z' (0x7A) comes after '_' (0x5F)
      {"_", "A", false, true},
      {"\xE3\x81\x82", "Z", false, false},  // a byte above 0x7F after every ASCII byte
      {"@", "A", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " = " << c.b;
    EXPECT_EQ(lessIgnoringAsciiCase(c.a, c.b), c.less) << c.a << " < " << c.b;
  }
}

TEST(AsciiCase, TellsAFoldedPrefix) {
  EXPECT_TRUE(platform::startsWithIgnoringAsciiCase("<!DOCTYPE html>", "<!doctype"));
  EXPECT_TRUE(platform::startsWithIgnoringAsciiCase("abc", ""));
  EXPECT_FALSE(platform::startsWithIgnoringAsciiCase("<!DOC", "<!doctype"));
  EXPECT_FALSE(platform::startsWithIgnoringAsciiCase("<?XML", "<?xmm"));
}

}  // namespace
