// Realistic Japanese HTML documents for the converter's comparison test and
// benchmark: ASCII markup around running text of JIS X 0208 characters
// (punctuation, full-width letters and digits, hiragana, katakana, kanji of
// both levels), with no half-width katakana. Documents are made in EUC-JP
// from row/cell numbers and recoded into the other encodings with the C
// library's iconv, so the expected bytes never come from the code under test.
#ifndef TESSAVO_TESTS_KANJI_JAPANESE_CORPUS_H_
#define TESSAVO_TESTS_KANJI_JAPANESE_CORPUS_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace corpus {

// A document of about `size` bytes (at least a few hundred), the same for the
// same seed. With `crLf`, lines end in CR LF, else in LF; every line, the
// last one included, has its line end.
std::string makeEucJpDocument(std::uint32_t seed, std::size_t size, bool crLf);

// Every character JIS X 0208 defines, in EUC-JP, 94 or fewer to a line, each
// line ending in LF.
std::string allEucJpCharacters();

// Recodes `text` with iconv between two of its encoding names ("EUC-JP",
// "SHIFT_JIS", "ISO-2022-JP"). Returns false if iconv is missing the
// encodings or cannot convert every byte.
bool recode(const std::string& text, const char* from, const char* to, std::string& result);

}  // namespace corpus

#endif  // TESSAVO_TESTS_KANJI_JAPANESE_CORPUS_H_
