#include "ui/log_font.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LogFontRecord, DefaultIsTheSixtyByteFixedSysRecord) {
  const std::string bytes = LogFont().toBytes();
  ASSERT_EQ(bytes.size(), 60u);
  // height -13, weight 400, character set 128, quality 1, fixed pitch, face.
  EXPECT_EQ(bytes.substr(0, 4), std::string("\xf3\xff\xff\xff", 4));
  EXPECT_EQ(bytes.substr(16, 4), std::string("\x90\x01\x00\x00", 4));
  EXPECT_EQ(bytes.substr(20, 8), std::string("\x00\x00\x00\x80\x01\x02\x01\x01", 8));
  EXPECT_EQ(bytes.substr(28), std::string("FixedSys") + std::string(24, '\0'));
}

TEST(LogFontRecord, ReadsBackWhatItWroteAndRefusesOtherLengths) {
  LogFont font;
  font.height = -20;
  font.weight = 700;
  font.italic = 1;
  font.pitchAndFamily = 0x22;
  font.faceName = std::string(40, 'x');  // longer than the field
  const std::optional<LogFont> read = LogFont::fromBytes(font.toBytes());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->height, -20);
  EXPECT_EQ(read->weight, 700);
  EXPECT_EQ(read->italic, 1);
  EXPECT_EQ(read->pitchAndFamily, 0x22);
  EXPECT_EQ(read->faceName, std::string(31, 'x'));

  const std::string good = LogFont().toBytes();
  for (const std::string& bad :
       {std::string(), good.substr(0, 59), good + "x", std::string(120, 'a')}) {
    EXPECT_FALSE(LogFont::fromBytes(bad)) << bad.size() << " bytes";
  }
  // A face without a terminating NUL keeps all 32 bytes and no more.
  std::string full = good.substr(0, 28) + std::string(32, 'F');
  EXPECT_EQ(LogFont::fromBytes(full)->faceName, std::string(32, 'F'));
}

}  // namespace
