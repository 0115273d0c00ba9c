// Compares the converter with nkf, the usual tool for the same job, on
// realistic documents in the three encodings. Only text both must agree on
// is used: JIS X 0208 characters, ASCII, LF and CR LF. Where the two differ
// by design (half-width katakana, which nkf widens; 0x00 and bytes that form
// no character, which nkf passes through and the converter replaces) the
// converter's own tests hold the expected bytes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "kanji/tessavo_kanji.h"
#include "tests/kanji/japanese_corpus.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

bool haveNkf() {
  return std::system("nkf --version >/dev/null 2>&1") == 0;
}

std::string nkfToEucJpCrLf(const std::string& file) {
  std::string output;
  FILE* pipe = popen(("nkf -e -Lw '" + file + "'").c_str(), "r");
  if (pipe == nullptr) return output;
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) output.append(block, n);
  pclose(pipe);
  return output;
}

std::string convertToEucJpCrLf(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  TessavoKanji converter;
  EXPECT_TRUE(converter.convert(in, KanjiCode::AutoDetect, out, KanjiCode::EucJp, LineEnd::CrLf));
  return out.str();
}

// Index of the first differing byte, for a readable failure.
std::size_t firstDifference(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

TEST(TessavoKanjiNkf, SameOutputAsNkfOnJapaneseHtml) {
  if (!haveNkf()) GTEST_SKIP() << "nkf is not installed";
  const test_support::TempFolder folder("kanji_nkf");
  ASSERT_FALSE(folder.path().empty());
  struct Encoding {
    const char* iconvName;
    const char* suffix;
  };
  const Encoding encodings[] = {{"EUC-JP", "euc"}, {"SHIFT_JIS", "sjis"}, {"ISO-2022-JP", "jis"}};
  for (std::uint32_t seed = 1; seed <= 6; ++seed) {
    const bool crLf = seed % 2 == 0;
    const std::size_t size = 2000 + 1500 * seed;
    const std::string euc = corpus::makeEucJpDocument(seed, size, crLf);
    for (const Encoding& encoding : encodings) {
      std::string text;
      ASSERT_TRUE(corpus::recode(euc, "EUC-JP", encoding.iconvName, text)) << encoding.iconvName;
      std::string back;
      ASSERT_TRUE(corpus::recode(text, encoding.iconvName, "EUC-JP", back));
      ASSERT_EQ(back, euc) << "iconv does not round-trip the corpus in " << encoding.iconvName;
      const std::string file = folder / ("doc" + std::to_string(seed) + "." + encoding.suffix);
      test_support::writeFile(file, text);

      const std::string expected = nkfToEucJpCrLf(file);
      const std::string actual = convertToEucJpCrLf(file);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(actual.size(), expected.size()) << file;
      EXPECT_TRUE(actual == expected)
          << file << ": first difference at byte " << firstDifference(actual, expected);
    }
  }
}

}  // namespace
