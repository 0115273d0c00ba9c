#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/code_page_scope.h"

namespace {

using platform::CharNextA;
using platform::CodePage;
using platform::IsDBCSLeadByte;

// Steps through `text` with CharNextA and returns the length of each character.
std::string characterLengths(const std::string& text) {
  std::string lengths;
  for (const char* p = text.c_str(); *p != '\0';) {
    const char* next = CharNextA(p);
    lengths += std::to_string(next - p);
    p = next;
  }
  return lengths;
}

TEST(CodePage, DefaultsToUtf8) {
  EXPECT_EQ(platform::currentCodePage(), CodePage::Utf8);
}

TEST(CodePage, Cp932LeadBytes) {
  CodePageScope cp932(CodePage::Cp932);
  EXPECT_FALSE(IsDBCSLeadByte(0x80));
  EXPECT_TRUE(IsDBCSLeadByte(0x81));
  EXPECT_TRUE(IsDBCSLeadByte(0x9F));
  EXPECT_FALSE(IsDBCSLeadByte(0xA0));
  EXPECT_FALSE(IsDBCSLeadByte(0xDF));  // half-width katakana stand alone
  EXPECT_TRUE(IsDBCSLeadByte(0xE0));
  EXPECT_TRUE(IsDBCSLeadByte(0xFC));
  EXPECT_FALSE(IsDBCSLeadByte(0xFD));
  EXPECT_FALSE(IsDBCSLeadByte('\\'));
}

TEST(CodePage, Cp932StepsOverTrailBytes) {
  CodePageScope cp932(CodePage::Cp932);
  // 0x95 0x5C is one character although its second byte is a backslash;
  // 0xB1 is one half-width katakana.
  EXPECT_EQ(characterLengths("a\x95\x5C\xB1"
                             "b"),
            "1211");
  // A lead byte cut off by the terminator is one byte and never steps past it.
  EXPECT_EQ(characterLengths("a\x95"), "11");
  const char empty[] = "";
  EXPECT_EQ(CharNextA(empty), empty);
}

TEST(CodePage, Utf8StepsOverWholeSequences) {
  EXPECT_TRUE(IsDBCSLeadByte(0xC3));
  EXPECT_TRUE(IsDBCSLeadByte(0xE6));
  EXPECT_FALSE(IsDBCSLeadByte(0x80));  // a continuation byte
  EXPECT_FALSE(IsDBCSLeadByte(0xC0));  // never valid in UTF-8
  EXPECT_EQ(characterLengths("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80/"), "12341");
  // Broken sequences advance by one byte so that no separator is swallowed.
  EXPECT_EQ(characterLengths("\xE6\x97/x"), "1111");
  EXPECT_EQ(characterLengths("\xE6"), "1");
  EXPECT_EQ(characterLengths("\x80\x80"), "11");
}

}  // namespace
