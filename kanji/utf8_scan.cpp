#include "kanji/utf8_scan.h"

#include <cstring>

#include "platform/utf8_sequence.h"

namespace kanji {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

}  // namespace

void Utf8Scan::count(std::size_t length) {
  if (length > 1) ++multibyte_;
  if (length > 2) ++long_;
}

void Utf8Scan::feed(const char* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  std::size_t i = 0;
  // Complete a character that the previous block cut off.
  while (wellFormed_ && carried_ > 0 && i < size) {
    carry_[carried_++] = bytes[i++];
    const std::size_t length = platform::utf8CharacterLength(carry_, carried_);
    if (length == platform::kUtf8CutOff) continue;
    if (length == 0) wellFormed_ = false;
    count(length);
    carried_ = 0;
  }
  while (wellFormed_ && i < size) {
    // Markup is mostly ASCII: skip it eight bytes at a time.
    while (i + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i, sizeof word);
      if ((word & kHighBits) != 0) break;
      i += 8;
    }
    if (i == size) break;
    const std::size_t length = platform::utf8CharacterLength(bytes + i, size - i);
    if (length == 0) {
      wellFormed_ = false;
    } else if (length == platform::kUtf8CutOff) {
      carried_ = size - i;
      std::memcpy(carry_, bytes + i, carried_);
      i = size;
    } else {
      count(length);
      i += length;
    }
  }
}

}  // namespace kanji
