#include "platform/utf8_text.h"

#include "platform/code_page.h"
#include "platform/utf8_sequence.h"

namespace platform {
namespace {

const char kGetaMark[] = "\x81\xAC";

bool isAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The length of the well-formed character at `text[i]`, 0 when none
// starts there (a character cut off by the end of the text included).
std::size_t characterLength(const std::string& text, std::size_t i) {
  const std::size_t length =
      utf8CharacterLength(reinterpret_cast<const unsigned char*>(text.data()) + i, text.size() - i);
  return length == kUtf8CutOff ? 0 : length;
}

}  // namespace

Utf8Converter::Utf8Converter() : cp932_(currentCodePage() == CodePage::Cp932) {
  if (cp932_) toCp932_ = std::make_unique<CharacterConverter>("CP932", "UTF-8");
}

Utf8Converter::~Utf8Converter() = default;

std::string Utf8Converter::toCodePage(const std::string& utf8) {
  if (!cp932_ || isAscii(utf8)) return utf8;
  return toCp932(utf8);
}

std::string Utf8Converter::toCp932(const std::string& utf8) {
  std::string result;
  result.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = characterLength(utf8, i);
    if (length == 1) {
      result.push_back(utf8[i++]);
      continue;
    }
    if (length == 0) {
      // A run of bytes that belong to no character (a piece of a line cut
      // inside a character, or bytes that are not UTF-8) stands as one mark.
      result += kGetaMark;
      ++i;
      while (i < utf8.size() && characterLength(utf8, i) == 0) ++i;
      continue;
    }
    if (!toCp932_->convert(utf8.data() + i, length, &result)) result += kGetaMark;
    i += length;
  }
  return result;
}

}  // namespace platform
