#include "kanji/utf8_scan.h"

#include <cstring>

namespace kanji {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

}  // namespace

void Utf8Scan::feed(const char* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  std::size_t i = 0;
  while (wellFormed_ && i < size) {
    if (missing_ == 0) {
      // Markup is mostly ASCII: skip it eight bytes at a time.
      while (i + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if ((word & kHighBits) != 0) break;
        i += 8;
      }
      if (i == size) break;
      const std::uint8_t lead = bytes[i++];
      if (lead < 0x80) continue;
      low_ = 0x80;
      high_ = 0xBF;
      if (lead >= 0xC2 && lead <= 0xDF) {
        missing_ = 1;
      } else if (lead >= 0xE0 && lead <= 0xEF) {
        missing_ = 2;
        if (lead == 0xE0) low_ = 0xA0;   // overlong below U+0800
        if (lead == 0xED) high_ = 0x9F;  // surrogates
      } else if (lead >= 0xF0 && lead <= 0xF4) {
        missing_ = 3;
        if (lead == 0xF0) low_ = 0x90;   // overlong below U+10000
        if (lead == 0xF4) high_ = 0x8F;  // above U+10FFFF
      } else {
        wellFormed_ = false;
      }
      continue;
    }
    const std::uint8_t next = bytes[i++];
    if (next < low_ || next > high_) {
      wellFormed_ = false;
      break;
    }
    low_ = 0x80;
    high_ = 0xBF;
    if (--missing_ == 0) ++multibyte_;
  }
}

}  // namespace kanji
