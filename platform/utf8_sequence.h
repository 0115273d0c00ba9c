// The one rule for a well-formed UTF-8 character, as Unicode defines it: a
// lead byte C2-DF, E0-EF or F0-F4 and its continuation bytes, without
// overlong forms, surrogates (ED A0-BF) or code points above U+10FFFF.
// Header-only so that scans over whole documents inline it; pure.
#ifndef TESSAVO_PLATFORM_UTF8_SEQUENCE_H_
#define TESSAVO_PLATFORM_UTF8_SEQUENCE_H_

#include <cstddef>

namespace platform {

// Returned by utf8CharacterLength for a well-formed beginning of a
// character that `size` cuts off.
constexpr std::size_t kUtf8CutOff = static_cast<std::size_t>(-1);

// The length (1 to 4) of the well-formed character that starts at `text`,
// 0 when the bytes there form none, kUtf8CutOff when they could still
// form one but `size` ends first. `size` must be at least 1.
inline std::size_t utf8CharacterLength(const unsigned char* text, std::size_t size) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong below U+0800
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong below U+10000
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (k == size) return kUtf8CutOff;
    if (text[k] < low || text[k] > high) return 0;
    low = 0x80;
    high = 0xBF;
  }
  return length;
}

}  // namespace platform

#endif  // TESSAVO_PLATFORM_UTF8_SEQUENCE_H_
