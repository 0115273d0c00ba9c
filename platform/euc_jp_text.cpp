#include "platform/euc_jp_text.h"

#include "platform/code_page.h"

namespace platform {
namespace {

const char kUtf8Replacement[] = "\xEF\xBF\xBD";

bool isAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool isEucByte(unsigned char byte) {
  return byte >= 0xA1 && byte <= 0xFE;
}

// The length of the EUC-JP character at `text[i]` if it is complete and well
// formed, else 0. ASCII and control bytes are characters of length 1.
std::size_t eucCharacterLength(const std::string& text, std::size_t i) {
  const auto at = [&](std::size_t k) {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0;
  };
  const unsigned char lead = at(i);
  if (lead < 0x80) return 1;
  if (lead == 0x8E) return at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF ? 2 : 0;
  if (lead == 0x8F) return isEucByte(at(i + 1)) && isEucByte(at(i + 2)) ? 3 : 0;
  if (isEucByte(lead)) return isEucByte(at(i + 1)) ? 2 : 0;
  return 0;
}

}  // namespace

EucJpConverter::EucJpConverter() : cp932_(currentCodePage() == CodePage::Cp932) {
  if (!cp932_) {
    // The Microsoft variant also knows the NEC and IBM rows that documents
    // converted from Shift_JIS carry; plain EUC-JP is the fallback.
    toUtf8_ = std::make_unique<CharacterConverter>("UTF-8", "EUC-JP-MS");
    if (!toUtf8_->isAvailable()) toUtf8_ = std::make_unique<CharacterConverter>("UTF-8", "EUC-JP");
  }
}

EucJpConverter::~EucJpConverter() = default;

std::string EucJpConverter::toCodePage(const std::string& eucJp) {
  if (isAscii(eucJp)) return eucJp;
  return cp932_ ? toCp932(eucJp) : toUtf8(eucJp);
}

std::string EucJpConverter::toUtf8(const std::string& eucJp) {
  std::string result;
  result.reserve(eucJp.size() * 3 / 2 + 4);
  for (std::size_t i = 0; i < eucJp.size();) {
    const std::size_t length = eucCharacterLength(eucJp, i);
    if (length == 1) {
      result.push_back(eucJp[i++]);
      continue;
    }
    if (length == 0 || !toUtf8_->convert(eucJp.data() + i, length, &result)) {
      result += kUtf8Replacement;
    }
    i += length == 0 ? 1 : length;
  }
  return result;
}

std::string EucJpConverter::toCp932(const std::string& eucJp) const {
  std::string result;
  result.reserve(eucJp.size());
  for (std::size_t i = 0; i < eucJp.size();) {
    const std::size_t length = eucCharacterLength(eucJp, i);
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(eucJp[i + k]); };
    if (length == 1) {
      result.push_back(eucJp[i]);
    } else if (length == 2 && byte(0) == 0x8E) {
      result.push_back(static_cast<char>(byte(1)));  // half-width katakana
    } else if (length == 2) {
      // JIS row r and cell c (1..94) to Shift_JIS.
      const int row = byte(0) - 0xA0;
      const int cell = byte(1) - 0xA0;
      const int lead = row <= 62 ? (row + 1) / 2 + 0x80 : (row + 1) / 2 + 0xC0;
      int trail;
      if (row % 2 == 1) {
        trail = cell + 0x3F + (cell >= 64 ? 1 : 0);
      } else {
        trail = cell + 0x9E;
      }
      result.push_back(static_cast<char>(lead));
      result.push_back(static_cast<char>(trail));
    } else {
      // Not EUC-JP, or a JIS X 0212 character that CP932 cannot hold.
      result.push_back('?');
    }
    i += length == 0 ? 1 : length;
  }
  return result;
}

}  // namespace platform
