#include "kanji/wide_unicode.h"

#include <gtest/gtest.h>

#include <istream>
#include <sstream>
#include <string>

#include "kanji/document_analysis.h"
#include "kanji/wide_unicode_buffer.h"

namespace {

using kanji::WideForm;
using namespace std::string_literals;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kReplacement = "\xEF\xBF\xBD";

std::string decodeWhole(WideForm form, const std::string& bytes) {
  kanji::WideDecoder decoder(form);
  std::string out;
  decoder.feed(bytes.data(), bytes.size(), out);
  decoder.finish(out);
  return out;
}

std::string decodeByteByByte(WideForm form, const std::string& bytes) {
  kanji::WideDecoder decoder(form);
  std::string out;
  for (char byte : bytes) decoder.feed(&byte, 1, out);
  decoder.finish(out);
  return out;
}

TEST(WideUnicode, TheByteOrderMarkTellsTheForm) {
  const struct {
    std::string start;
    WideForm form;
  } cases[] = {
      {"\xFF\xFE<\0"s, WideForm::Utf16Le},
      {"\xFE\xFF\0<"s, WideForm::Utf16Be},
      {"\xFF\xFE\0\0"s, WideForm::Utf32Le},
      {"\0\0\xFE\xFF"s, WideForm::Utf32Be},
      {"\xFF\xFE"s, WideForm::Utf16Le},
      {"\xFF\xFE\0"s, WideForm::Utf16Le},
      {"\xEF\xBB\xBF<"s, WideForm::None},
      {"<\0h\0"s, WideForm::None},
      {"\xFE"s, WideForm::None},
      {"", WideForm::None},
      {"\0\0\xFF\xFE"s, WideForm::None},
      {"\x82\xA0"s, WideForm::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kanji::wideFormOf(c.start), c.form) << ::testing::PrintToString(c.start);
  }
  EXPECT_STREQ(kanji::wideFormName(WideForm::Utf16Be), "UTF-16BE");
  EXPECT_STREQ(kanji::wideFormName(WideForm::None), "");
}

TEST(WideUnicode, DecodesToUtf8AndReplacesWhatIsNoCharacter) {
  const struct {
    const char* what;
    WideForm form;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"mark, ASCII, CR LF", WideForm::Utf16Le, "\xFF\xFE<\0p\0\r\0\n\0"s, kBom + "<p\r\n"},
      {"kana and a pair", WideForm::Utf16Be, "\xFE\xFF\x30\x42\xD8\x3D\xDE\x00"s,
       kBom + "\xE3\x81\x82\xF0\x9F\x98\x80"},
      {"NUL and U+00E9", WideForm::Utf16Le, "\xFF\xFE\0\0\xE9\0"s, kBom + "\0\xC3\xA9"s},
      {"lone low surrogate", WideForm::Utf16Le, "\xFF\xFE\x00\xDCx\0"s, kBom + kReplacement + "x"},
      {"high surrogate before a character", WideForm::Utf16Be, "\xFE\xFF\xD8\x3D\0x"s,
       kBom + kReplacement + "x"},
      {"two high surrogates, then a low", WideForm::Utf16Be, "\xFE\xFF\xD8\x3D\xD8\x3D\xDE\x00"s,
       kBom + kReplacement + "\xF0\x9F\x98\x80"},
      {"high surrogate at the end", WideForm::Utf16Le, "\xFF\xFEx\0\x3D\xD8"s,
       kBom + "x" + kReplacement},
      {"odd length", WideForm::Utf16Le, "\xFF\xFEx\0y"s, kBom + "x" + kReplacement},
      {"high surrogate and an odd byte", WideForm::Utf16Be, "\xFE\xFF\xD8\x3D\xDE"s,
       kBom + kReplacement + kReplacement},
      {"UTF-32 LE", WideForm::Utf32Le, "\xFF\xFE\0\0\x00\xF6\x01\0<\0\0\0"s,
       kBom + "\xF0\x9F\x98\x80<"},
      {"UTF-32 BE past U+10FFFF, a surrogate, a cut unit", WideForm::Utf32Be,
       "\0\0\xFE\xFF\0\x11\0\0\0\0\xD8\0\0\0\0"s,
       kBom + kReplacement + kReplacement + kReplacement},
      {"mark only", WideForm::Utf16Be, "\xFE\xFF", kBom},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(decodeWhole(c.form, c.bytes), c.utf8) << c.what;
    EXPECT_EQ(decodeByteByByte(c.form, c.bytes), c.utf8) << c.what;
  }
}

// The analysis and the copy read a UTF-16 document through the buffer as
// they read the same document in UTF-8 with a byte order mark.
TEST(WideUnicode, TheBufferGivesTheAnalysisAUtf8Document) {
  const std::string utf8 = "<!DOCTYPE html>\n<p>\xE3\x81\x82</p>\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<!DOCTYPE html>\n<p>")) utf16 += std::string{c, '\0'};
  utf16 += "\x42\x30"s + "<\0/\0p\0>\0\n\0"s;
  // Blocks of 64 KiB end inside a unit and inside a pair.
  const std::string fill(3 * 64 * 1024 + 1, 'x');
  std::string longUtf16 = "\xFE\xFF";
  for (char c : fill) longUtf16 += std::string{'\0', c};
  longUtf16 += "\xD8\x3D\xDE\x00"s;

  for (const auto& [bytes, expected] :
       {std::pair{utf16, kBom + utf8}, std::pair{longUtf16, kBom + fill + "\xF0\x9F\x98\x80"}}) {
    std::istringstream file(bytes);
    kanji::WideUnicodeBuffer buffer(file.rdbuf(), kanji::wideFormOf(bytes));
    std::istream text(&buffer);
    const kanji::DocumentAnalysis analysis = kanji::analyseDocument(text);
    EXPECT_EQ(analysis.encoding, kanji::TextEncoding::Utf8);
    EXPECT_EQ(analysis.reason, kanji::EncodingReason::ByteOrderMark);
    // Read again from the start, to its end.
    file.clear();
    file.seekg(0);
    buffer.restart();
    text.clear();
    std::ostringstream all;
    all << text.rdbuf();
    EXPECT_EQ(all.str(), expected);
  }
  std::istringstream file(utf16);
  kanji::WideUnicodeBuffer buffer(file.rdbuf(), WideForm::Utf16Le);
  std::istream text(&buffer);
  EXPECT_EQ(kanji::analyseDocument(text).dtd, kanji::DtdKind::Html5);
}

}  // namespace
