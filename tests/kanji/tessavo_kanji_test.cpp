#include "kanji/tessavo_kanji.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/kanji/japanese_corpus.h"

namespace {

using namespace std::string_literals;

std::string convert(const std::string& input, KanjiCode inputCode = KanjiCode::AutoDetect,
                    KanjiCode outputCode = KanjiCode::EucJp, LineEnd lineEnd = LineEnd::CrLf) {
  std::istringstream in(input);
  std::ostringstream out;
  TessavoKanji converter;
  EXPECT_TRUE(converter.convert(in, inputCode, out, outputCode, lineEnd));
  return out.str();
}

std::string hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

struct Case {
  const char* what;
  std::string input;
  std::string expected;
};

template <std::size_t N>
void expectConversions(const Case (&cases)[N], KanjiCode inputCode = KanjiCode::AutoDetect,
                       KanjiCode outputCode = KanjiCode::EucJp) {
  for (const Case& c : cases) {
    EXPECT_EQ(hex(convert(c.input, inputCode, outputCode)), hex(c.expected)) << c.what;
  }
}

// Byte values used below: あ is 0x82 0xA0 in Shift_JIS, 0xA4 0xA2 in EUC-JP
// and 0x24 0x22 in ISO-2022-JP; 〓 (the replacement) is 0xA2 0xAE in EUC-JP;
// half-width ｱ is 0xB1 in Shift_JIS and 0x8E 0xB1 in EUC-JP. The Shift_JIS
// pair 0xE0 0xA1 (row 64 cell 3) is also a valid EUC-JP pair (row 64 cell 1).

TEST(TessavoKanji, NormalisesLineEndsAndPassesAscii) {
  const Case cases[] = {
      {"empty input", "", ""},
      {"lone LF", "a\nb\n", "a\r\nb\r\n"},
      {"lone CR", "a\rb\r", "a\r\nb\r\n"},
      {"CR LF", "a\r\nb", "a\r\nb"},
      {"CR as the very last byte", "a\r", "a\r\n"},
      {"CR, CR LF, LF", "\r\r\n\n", "\r\n\r\n\r\n"},
      {"LF then CR", "\n\r", "\r\n\r\n"},
      {"CR before a fresh byte that is itself a lead", "\r\x82\xA0", "\r\n\xA4\xA2"},
      {"controls and stray single bytes pass", "\t\x01\x7F\x80\xA0\xFF", "\t\x01\x7F\x80\xA0\xFF"},
      {"0x00 is the replacement", "a\0y"s, "a\xA2\xAEy"},
  };
  expectConversions(cases);
}

TEST(TessavoKanji, DetectsEachEncoding) {
  const Case cases[] = {
      {"Shift_JIS", "\x82\xA0", "\xA4\xA2"},
      {"EUC-JP", "\xA4\xA2", "\xA4\xA2"},
      {"ISO-2022-JP, escapes removed", "\x1B$B\x24\x22\x1B(B", "\xA4\xA2"},
      {"ESC $ @ and ESC ( J", "\x1B$@\x24\x22\x1B(Jx", "\xA4\xA2x"},
      {"ISO-2022-JP katakana", "\x1B(I\x31\x1B(B", "\x8E\xB1"},
      {"Shift_JIS half-width katakana before ASCII", "\xB1z", "\x8E\xB1z"},
      {"two bytes 0xA1..0xDF are one EUC-JP character", "\xB1\xB2", "\xB1\xB2"},
      {"0x8F is a Shift_JIS lead, not EUC-JP SS3", "\x8F\xA1", "\xBE\xA3"},
      {"EUC-only lead decides", "\xF0\xA1\xE0\xA1", "\xF0\xA1\xE0\xA1"},
      {"Shift_JIS row 84 (lead 0xEA)", "\x82\xA0\xEA\xA4", "\xA4\xA2\xF4\xA6"},
      {"Shift_JIS trail 0x40, 0x7E, 0x80, 0xFC", "\x88\x40\x88\x7E\x88\x80\x88\xFC",
       "\xAF\xA1\xAF\xDF\xAF\xE0\xB0\xFE"},
      {"0x8E pair after a Shift_JIS decision is a kanji", "\x82\xA0\x8E\xB1", "\xA4\xA2\xBC\xB3"},
      {"0x8E pair after an EUC-JP decision is katakana", "\xA4\xA2\x8E\xB1", "\xA4\xA2\x8E\xB1"},
      {"a Shift_JIS lead overturns an EUC-JP decision", "\xA4\xA2\x82\xA0", "\xA4\xA2\xA4\xA2"},
      {"after a Shift_JIS decision 0xA1..0xDF are katakana", "\x82\xA0\xB1\xB2\n",
       "\xA4\xA2\x8E\xB1\x8E\xB2\r\n"},
      {"a designation returns to ISO-2022-JP", "\x82\xA0\x1B$B\x24\x22\x1B(B", "\xA4\xA2\xA4\xA2"},
  };
  expectConversions(cases);
}

// The charset a conversion names is the one its decoding used.
TEST(TessavoKanji, NamesTheCharsetItReadTheInputAs) {
  const struct {
    const char* input;
    const char* charset;
  } cases[] = {
      {"", "US-ASCII"},
      {"<p>plain</p>\r\n", "US-ASCII"},
      {"\x82\xA0", "Shift_JIS"},
      {"\xB1z", "Shift_JIS"},
      {"\xA4\xA2", "EUC-JP"},
      {"\xA4\xA2\x8E\xB1", "EUC-JP"},
      {"\x1B$B\x24\x22\x1B(B", "ISO-2022-JP"},
      {"\x1B(I\x31\x1B(B", "ISO-2022-JP"},
      {"\xA4\xA2\x82\xA0", "Shift_JIS"},
  };
  TessavoKanji converter;
  EXPECT_STREQ(converter.detectedCharset(), "");
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out;
    converter.convert(in, KanjiCode::AutoDetect, out, KanjiCode::EucJp, LineEnd::CrLf);
    EXPECT_STREQ(converter.detectedCharset(), c.charset) << hex(c.input);
  }
}

TEST(TessavoKanji, Iso2022JpShiftStates) {
  const Case cases[] = {
      {"a space between kanji becomes 0xA0", "\x1B$B\x24\x22 \x24\x24\x1B(B",
       "\xA4\xA2\xA0\xA4\xA4"},
      {"a line end returns to ASCII", "\x1B$B\x24\x22\nab", "\xA4\xA2\r\nab"},
      {"a CR returns to ASCII", "\x1B$B\x24\x22\rab", "\xA4\xA2\r\nab"},
      {"katakana mode sets the high bit", "\x1B(I\x31\x32\x1B(Jx", "\x8E\xB1\x8E\xB2x"},
      {"an 8-bit character ends kanji mode", "\x1B$B\xA4\xA2\x24\x22", "\xA4\xA2$\""},
      {"so does a single byte under a decision", "\x1B$B\x81  \x24\x22", "\xA2\xAE $\""},
      {"a designation after a decision is 7-bit again", "\x82\xA0\x1B(I\x31\x1B$B \x24\x22",
       "\xA4\xA2\x8E\xB1\xA0\xA4\xA2"},
      // The invalid pair takes the LF with it, and kanji mode stays on.
      {"a non-7-bit byte after a kanji byte", "\x1B$B\x24\nab", "\xA2\xAE\xE1\xE2"},
      {"a kanji byte left at the end is dropped", "\x1B$B\x24\x22\x24", "\xA4\xA2"},
  };
  expectConversions(cases);
}

// Where the converter deliberately differs from nkf -e: the replacement for
// bytes that form no character (nkf passes 0x00 and stray bytes through),
// half-width katakana kept half-width (nkf widens them by default).
TEST(TessavoKanji, InvalidBytesBecomeTheReplacement) {
  const Case cases[] = {
      {"Shift_JIS lead before a space: the space is lost", "\x81 x", "\xA2\xAEx"},
      {"stray lead swallows the line end", "a\x81\ny", "a\xA2\xAEy"},
      {"EUC-only lead before ASCII", "\xF0Z", "\xA2\xAE"},
      {"Shift_JIS lead before 0x7F", "\x82\x7F", "\xA2\xAE"},
      {"SS2 before a non-katakana byte", "\xA4\xA2\x8E\xFD", "\xA4\xA2\xA2\xAE"},
      {"0x00 after a Shift_JIS decision", "\x82\xA0\0"s, "\xA4\xA2\xA2\xAE"},
      {"a lead byte left at the end is dropped", "a\x82", "a"},
      {"an EUC-JP lead left at the end is dropped", "a\xA4", "a"},
      {"after a Shift_JIS decision a final 0xA1..0xDF is a katakana", "\x82\xA0\xB1",
       "\xA4\xA2\x8E\xB1"},
      {"half-width katakana stay half-width", "\x82\xA0\xB1\xDF\n", "\xA4\xA2\x8E\xB1\x8E\xDF\r\n"},
  };
  expectConversions(cases);
}

TEST(TessavoKanji, UnknownOrCutEscapesPassUnchanged) {
  const Case cases[] = {
      {"unknown designation", "\x1B$A\x1B(Xa", "\x1B$A\x1B(Xa"},
      {"ESC as the last byte", "a\x1B", "a\x1B"},
      {"ESC and one byte at the end", "a\x1B(", "a\x1B("},
      {"unknown sequence keeps kanji mode", "\x1B$B\x1B$A\x24\x22", "\x1B$A\xA4\xA2"},
      {"bytes after ESC are written, not read as text", "\x1B\nA", "\x1B\r\nA"},
      {"an ESC byte of an unknown sequence is not re-read", "\x1B\x1B$B", "\x1B\x1B$B"},
  };
  expectConversions(cases);
}

// 0xE0 0xA1 is valid in both encodings; the converter holds the text back
// until a byte tells them apart and then converts the whole stretch alike.
TEST(TessavoKanji, LookAheadConvertsTheHeldStretchByTheDecision) {
  const Case cases[] = {
      {"Shift_JIS later", "\xE0\xA1x\x82\xA0", "\xE0\xA3x\xA4\xA2"},
      {"EUC-JP later", "\xE0\xA1x\xF0\xA1", "\xE0\xA1x\xF0\xA1"},
      {"EUC-JP by a pair of 0xA1..0xDF bytes", "\xE0\xA1\xB1\xB2", "\xE0\xA1\xB1\xB2"},
      {"Shift_JIS by a half-width katakana", "\xE0\xA1\xB1z", "\xE0\xA3\x8E\xB1z"},
      {"line ends inside the stretch", "\xE0\xA1\r\n\rX\n\x82\xA0",
       "\xE0\xA3\r\n\r\nX\r\n\xA4\xA2"},
      {"ambiguous pairs in a row", "\xE0\xA1\xE5\xE6\x8E\xB1\x82\xA0",
       "\xE0\xA3\xEA\xE8\xBC\xB3\xA4\xA2"},
      {"escapes and 0x00 are held as bytes", "\xE0\xA1\x1B$B\0\xF0\xA1"s,
       "\xE0\xA1\x1B$B\0\xF0\xA1"s},
      {"an invalid pair keeps its place", "\xE0\xA1\xE0 \xF0\xA1", "\xE0\xA1\xA2\xAE\xF0\xA1"},
      // The lead byte decides, the invalid pair does not end the stretch, and
      // the 0x00 after it is still held as a byte.
      {"an invalid pair after a deciding lead", "\xE0\xA1\x81 \0"s, "\xE0\xA3\xA2\xAE\0"s},
      // The byte after a lone CR ends the stretch once the decoder is decided
      // and is then read as fresh text: here an escape sequence.
      {"fresh byte after a lone CR", "\xE0\xA1\xB1\r\x1B$B\x24\x22",
       "\xE0\xA3\x8E\xB1\r\n\xA4\xA2"},
      {"a designation that ends the document", "\xE0\xA1\x82\xA0\x1B$B\x24\x22",
       "\xE0\xA3\xA4\xA2\xA4\xA2"},
  };
  expectConversions(cases);
}

// When the text ends before anything decides, every held pair is a valid
// EUC-JP pair, and the stretch is written as EUC-JP.
TEST(TessavoKanji, UndecidedStretchAtTheEndIsEucJp) {
  const Case cases[] = {
      {"one pair", "\xE0\xA1", "\xE0\xA1"},
      {"pairs, a line end and SS2 katakana", "\xE0\xA1\xE0\xA1\r\n\x8E\xB1",
       "\xE0\xA1\xE0\xA1\r\n\x8E\xB1"},
      {"a final lone CR", "\xE0\xA1\r", "\xE0\xA1\r\n"},
      {"a held lead byte at the end is dropped", "\xE0\xA1z\xE0", "\xE0\xA1z"},
  };
  expectConversions(cases);
}

TEST(TessavoKanji, DecidedInputCodesSkipDetection) {
  const Case shiftJis[] = {
      {"ambiguous pair", "\xE0\xA1", "\xE0\xA3"},
      {"0xA1..0xDF are katakana", "\xB1\xB2\n", "\x8E\xB1\x8E\xB2\r\n"},
  };
  expectConversions(shiftJis, KanjiCode::ShiftJis);
  const Case eucJp[] = {{"ambiguous pair", "\xE0\xA1", "\xE0\xA1"},
                        {"SS2 katakana", "\x8E\xB1", "\x8E\xB1"}};
  expectConversions(eucJp, KanjiCode::EucJp);
  const Case jis[] = {
      {"Jis input detects like AutoDetect", "\x82\xA0\xE0\xA1", "\xA4\xA2\xE0\xA3"}};
  expectConversions(jis, KanjiCode::Jis);
}

TEST(TessavoKanji, Iso2022JpOutput) {
  const Case cases[] = {
      {"kanji, line end, ASCII", "\xA4\xA2\xA4\xA4\nab", "\x1B$B\x24\x22\x24\x24\x1B(J\r\nab"},
      // A text that ends in kanji or katakana mode gets its closing ESC ( J.
      {"text ends in kanji mode", "a\xA4\xA2", "a\x1B$B\x24\x22\x1B(J"},
      {"text ends in katakana mode", "\x8E\xB1", "\x1B(I\x31\x1B(J"},
      {"katakana, ASCII, kanji", "\x8E\xB1x\xA4\xA2\n",
       "\x1B(I\x31\x1B(Jx\x1B$B\x24\x22\x1B(J\r\n"},
      {"8-bit single bytes have no form", "a\x80\xA0\xFFy", "ay"},
      {"0x00 becomes the replacement", "\0"s, "\x1B$B\x22\x2E\x1B(J"},
  };
  expectConversions(cases, KanjiCode::AutoDetect, KanjiCode::Jis);
}

TEST(TessavoKanji, ShiftJisOutput) {
  const Case cases[] = {
      {"hiragana", "\xA4\xA2", "\x82\xA0"},
      {"replacement", "\0"s, "\x81\xAC"},
      {"row 16 cell 1 and row 47 cell 51", "\xB0\xA1\xCF\xD3", "\x88\x9F\x98\x72"},
      {"row 63 cell 64 and row 84 cell 6", "\xDF\xE0\xF4\xA6", "\xE0\x80\xEA\xA4"},
      {"katakana stay one byte", "\x8E\xB1\n", "\xB1\r\n"},
  };
  expectConversions(cases, KanjiCode::EucJp, KanjiCode::ShiftJis);
}

TEST(TessavoKanji, LineEndModes) {
  const std::string input = "a\r\nb\rc\nd\r";
  EXPECT_EQ(convert(input, KanjiCode::AutoDetect, KanjiCode::EucJp, LineEnd::Cr), "a\rb\rc\rd\r");
  EXPECT_EQ(convert(input, KanjiCode::AutoDetect, KanjiCode::EucJp, LineEnd::Lf), "a\nb\nc\nd\n");
  EXPECT_EQ(convert(input, KanjiCode::AutoDetect, KanjiCode::ShiftJis, LineEnd::CrLf),
            "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(convert(input, KanjiCode::AutoDetect, KanjiCode::Jis, static_cast<LineEnd>(3)), "abcd");
}

TEST(TessavoKanji, RejectsInvalidCodesWithoutTouchingTheStreams) {
  for (int inputCode = -1; inputCode <= 5; ++inputCode) {
    for (int outputCode = -1; outputCode <= 5; ++outputCode) {
      const bool valid = inputCode >= 0 && inputCode <= 3 && outputCode >= 1 && outputCode <= 3;
      if (valid) continue;
      std::istringstream in("abc");
      std::ostringstream out;
      TessavoKanji converter;
      EXPECT_FALSE(converter.convert(in, static_cast<KanjiCode>(inputCode), out,
                                     static_cast<KanjiCode>(outputCode), LineEnd::CrLf))
          << inputCode << " " << outputCode;
      EXPECT_EQ(out.str(), "");
      EXPECT_EQ(in.get(), 'a');
    }
  }
}

TEST(TessavoKanji, ConvertsEveryCharacterBothWays) {
  const std::string euc = corpus::allEucJpCharacters();
  std::string viaIconv;
  ASSERT_TRUE(corpus::recode(euc, "EUC-JP", "SHIFT_JIS", viaIconv));
  const std::string shiftJis = convert(euc, KanjiCode::EucJp, KanjiCode::ShiftJis, LineEnd::Lf);
  EXPECT_EQ(shiftJis, viaIconv);
  EXPECT_EQ(convert(shiftJis, KanjiCode::ShiftJis, KanjiCode::EucJp, LineEnd::Lf), euc);
  EXPECT_EQ(convert(shiftJis, KanjiCode::AutoDetect, KanjiCode::EucJp, LineEnd::Lf), euc);
  const std::string jis = convert(euc, KanjiCode::EucJp, KanjiCode::Jis, LineEnd::Lf);
  EXPECT_EQ(convert(jis, KanjiCode::AutoDetect, KanjiCode::EucJp, LineEnd::Lf), euc);
  EXPECT_EQ(convert(euc, KanjiCode::AutoDetect, KanjiCode::EucJp, LineEnd::Lf), euc);
}

TEST(TessavoKanji, LeavesTheInputAtItsEndAndFlagsFailedWrites) {
  std::istringstream in("\xA4\xA2");
  std::ostream nowhere(nullptr);
  TessavoKanji converter;
  EXPECT_TRUE(
      converter.convert(in, KanjiCode::AutoDetect, nowhere, KanjiCode::EucJp, LineEnd::CrLf));
  EXPECT_TRUE(in.eof());

  // A stream buffer that refuses every byte.
  struct FullBuffer : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
  } full;
  std::ostream out(&full);
  std::istringstream text("abc");
  EXPECT_TRUE(converter.convert(text, KanjiCode::AutoDetect, out, KanjiCode::EucJp, LineEnd::CrLf));
  EXPECT_TRUE(out.bad());
}

// A full disk: the file buffer's write fails, and the converter must stop
// feeding it rather than let it write past its own storage (ASan watches).
TEST(TessavoKanji, StopsWritingToAFileWhoseWriteFailed) {
  std::ofstream disk("/dev/full", std::ios::binary);
  if (!disk.is_open()) GTEST_SKIP() << "no /dev/full here";
  std::istringstream text(std::string(1 << 20, 'a') + "\n");
  TessavoKanji converter;
  EXPECT_TRUE(
      converter.convert(text, KanjiCode::AutoDetect, disk, KanjiCode::EucJp, LineEnd::CrLf));
  EXPECT_TRUE(disk.bad());
}

}  // namespace
