#include "kanji/utf8_copy.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "kanji/document_analysis.h"
#include "kanji/validator_copy.h"

namespace {

using namespace std::string_literals;

std::string copy(const std::string& input, LineEnd lineEnd = LineEnd::CrLf) {
  std::istringstream in(input);
  std::ostringstream out;
  EXPECT_TRUE(kanji::copyUtf8Text(in, out, lineEnd));
  EXPECT_TRUE(in.eof());
  return out.str();
}

TEST(Utf8Copy, KeepsBytesAndNormalisesLineEnds) {
  struct Case {
    const char* what;
    std::string input;
    std::string expected;
  };
  // A block of the copy is 64 KiB: a CR LF pair may straddle two blocks.
  const std::string fill(64 * 1024 - 1, 'x');
  const Case cases[] = {
      {"empty", "", ""},
      {"LF", "a\nb\n", "a\r\nb\r\n"},
      {"CR", "a\rb\r", "a\r\nb\r\n"},
      {"CR LF", "a\r\nb", "a\r\nb"},
      {"mixed", "a\n\rb\r\r\nc\n\n", "a\r\n\r\nb\r\n\r\nc\r\n\r\n"},
      {"CR as the last byte", "a\r", "a\r\n"},
      {"byte order mark, Japanese, NUL and stray bytes kept",
       "\xEF\xBB\xBF\xE6\x97\xA5\0\x82\xA0\n"s, "\xEF\xBB\xBF\xE6\x97\xA5\0\x82\xA0\r\n"s},
      {"CR LF across two blocks", fill + "\r\nz", fill + "\r\nz"},
      {"lone CR at a block's end", fill + "\rz", fill + "\r\nz"},
  };
  for (const Case& c : cases) EXPECT_EQ(copy(c.input), c.expected) << c.what;
  EXPECT_EQ(copy("a\r\nb\rc\n", LineEnd::Lf), "a\nb\nc\n");
  EXPECT_EQ(copy("a\r\nb", static_cast<LineEnd>(7)), "ab");
}

// A stream buffer that takes `room` bytes, then refuses every write.
class FullDisk : public std::streambuf {
 public:
  explicit FullDisk(std::size_t room) : room_(room) {}

 protected:
  int_type overflow(int_type c) override {
    if (room_ == 0) return traits_type::eof();
    --room_;
    return traits_type::not_eof(c);
  }

 private:
  std::size_t room_;
};

TEST(Utf8Copy, ReportsAFailedWrite) {
  std::istringstream in(std::string(1000, 'a') + "\n");
  FullDisk disk(10);
  std::ostream out(&disk);
  EXPECT_FALSE(kanji::copyUtf8Text(in, out, LineEnd::CrLf));
  EXPECT_TRUE(out.bad());
  EXPECT_TRUE(in.eof());
}

TEST(ValidatorCopy, WritesUtf8AsItIsAndTheRestAsEucJp) {
  struct Case {
    const char* what;
    std::string document;
    std::string expected;
  };
  const Case cases[] = {
      {"UTF-8 stays UTF-8", "<p>\xE6\x97\xA5\n", "<p>\xE6\x97\xA5\r\n"},
      {"Shift_JIS becomes EUC-JP", "<p>\x82\xA0\n", "<p>\xA4\xA2\r\n"},
      {"ASCII gets CR LF", "<p>a\r", "<p>a\r\n"},
  };
  for (const Case& c : cases) {
    kanji::DocumentAnalysis analysis = kanji::analyseDocument(c.document);
    std::istringstream in(c.document);
    std::ostringstream out;
    EXPECT_TRUE(kanji::writeValidatorCopy(in, analysis, out)) << c.what;
    EXPECT_EQ(out.str(), c.expected) << c.what;
  }
  std::istringstream in("<p>\xE6\x97\xA5\n");
  FullDisk disk(2);
  std::ostream out(&disk);
  kanji::DocumentAnalysis analysis = kanji::analyseDocument("\xE6\x97\xA5");
  EXPECT_FALSE(kanji::writeValidatorCopy(in, analysis, out));
}

}  // namespace
