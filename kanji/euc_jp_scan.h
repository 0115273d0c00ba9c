// Tells whether a byte stream also reads as EUC-JP, fed block by block:
// every byte from 0x80 on belongs to a pair of bytes 0xA1-0xFE, or is SS2
// (0x8E) before a half-width katakana byte 0xA1-0xDF. A pair cut off by the
// end of the input does not count against it.
//
// The document analysis asks this of text that is also well-formed UTF-8:
// a few EUC-JP kanji (rows 34-63, cells 1-31, as in 年 or 表) are
// two-byte UTF-8 sequences as well. Header-only; a plain value; one thread
// at a time.
#ifndef TESSAVO_KANJI_EUC_JP_SCAN_H_
#define TESSAVO_KANJI_EUC_JP_SCAN_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kanji {

class EucJpScan {
 public:
  void feed(const char* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; wellFormed_ && i < size; ++i) {
      // ASCII runs eight bytes at a time.
      while (lead_ == 0 && i + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) break;
        i += 8;
      }
      if (i == size) break;
      const std::uint8_t byte = bytes[i];
      if (lead_ != 0) {
        const std::uint8_t high = lead_ == 0x8E ? 0xDF : 0xFE;
        wellFormed_ = byte >= 0xA1 && byte <= high;
        lead_ = 0;
      } else if (byte == 0x8E || (byte >= 0xA1 && byte <= 0xFE)) {
        lead_ = byte;
      } else {
        wellFormed_ = byte < 0x80;
      }
    }
  }

  bool wellFormed() const { return wellFormed_; }

 private:
  bool wellFormed_ = true;
  std::uint8_t lead_ = 0;  // the first byte of a pair, 0 when none
};

}  // namespace kanji

#endif  // TESSAVO_KANJI_EUC_JP_SCAN_H_
