// The code pair, the form every character takes between decoding and
// encoding, and the three decoders that turn input bytes into code pairs.
//
// first = 0: a single byte, `second` (ASCII or a control byte, a half-width
// katakana byte 0xA1..0xDF, or any other byte passed through).
// first = 1..94: a JIS X 0208 character, `first` its row (ku) and `second`
// its cell (ten), both counted from 1.
//
// The decoders take a byte pair that the caller has already checked to be a
// character of that encoding; they never fail. Header-only so that the
// converter's per-byte loop inlines them.
#ifndef TESSAVO_KANJI_CODE_PAIR_H_
#define TESSAVO_KANJI_CODE_PAIR_H_

#include <cstdint>

namespace kanji {

struct CodePair {
  std::uint8_t first;
  std::uint8_t second;
};

// Row 2 cell 14, the GETA MARK: what bytes that form no character become.
constexpr CodePair kReplacement{2, 14};

// Shift state of an ISO-2022-JP stream: which character set the designations
// seen so far have selected.
enum class Shift : std::uint8_t { Ascii = 0, Kanji = 1, Katakana = 2 };

// ISO-2022-JP: both bytes 0x21..0x7E.
inline CodePair fromJis(std::uint8_t lead, std::uint8_t trail) {
  return {static_cast<std::uint8_t>(lead - 0x20), static_cast<std::uint8_t>(trail - 0x20)};
}

// A single byte in an ISO-2022-JP stream: in kanji or katakana mode it is
// read with the high bit set, which makes 0x21..0x5F the half-width katakana
// of JIS X 0201.
inline CodePair fromJisSingle(std::uint8_t byte, Shift shift) {
  return {0, shift == Shift::Ascii ? byte : static_cast<std::uint8_t>(byte | 0x80)};
}

// Shift_JIS: lead 0x81..0x9F or 0xE0..0xEF, trail 0x40..0xFC but not 0x7F.
// Each lead byte covers two rows; a trail byte from 0x9F on selects the even
// one.
inline CodePair fromShiftJis(std::uint8_t lead, std::uint8_t trail) {
  const int base = lead <= 0x9F ? 0x81 : 0xC1;
  int row = 2 * (lead - base) + 1;
  int cell;
  if (trail >= 0x9F) {
    ++row;
    cell = trail - 0x9E;
  } else if (trail >= 0x80) {
    cell = trail - 0x40;
  } else {
    cell = trail - 0x3F;
  }
  return {static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(cell)};
}

// EUC-JP: both bytes 0xA1..0xFE, or SS2 (0x8E) before a half-width katakana.
inline CodePair fromEucJp(std::uint8_t lead, std::uint8_t trail) {
  if (lead == 0x8E) return {0, trail};
  return {static_cast<std::uint8_t>(lead - 0xA0), static_cast<std::uint8_t>(trail - 0xA0)};
}

}  // namespace kanji

#endif  // TESSAVO_KANJI_CODE_PAIR_H_
