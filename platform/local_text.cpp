#include "platform/local_text.h"

#include "platform/character_converter.h"
#include "platform/code_page.h"
#include "platform/utf8_sequence.h"

namespace platform {

std::string localText(const std::string& utf8) {
  if (currentCodePage() != CodePage::Cp932) return utf8;
  CharacterConverter converter("CP932", "UTF-8");
  if (!converter.isAvailable()) return utf8;
  std::string result;
  result.reserve(utf8.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = utf8CharacterLength(bytes + i, utf8.size() - i);
    if (length == 1) {
      result.push_back(utf8[i++]);
      continue;
    }
    if (length != 0 && length != kUtf8CutOff &&
        converter.convert(utf8.data() + i, length, &result)) {
      i += length;
      continue;
    }
    // A character CP932 cannot hold becomes "?"; the rest still converts.
    result.push_back('?');
    ++i;
    while (i < utf8.size() && (bytes[i] & 0xC0) == 0x80) ++i;
  }
  return result;
}

}  // namespace platform
