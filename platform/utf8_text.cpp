#include "platform/utf8_text.h"

#include <iconv.h>

#include "platform/code_page.h"
#include "platform/utf8_sequence.h"

namespace platform {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
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

Utf8Converter::Utf8Converter()
    : cp932_(currentCodePage() == CodePage::Cp932), iconv_(kNoConverter) {
  if (cp932_) iconv_ = ::iconv_open("CP932", "UTF-8");
}

Utf8Converter::~Utf8Converter() {
  if (iconv_ != kNoConverter) ::iconv_close(static_cast<iconv_t>(iconv_));
}

std::string Utf8Converter::toCodePage(const std::string& utf8) {
  if (!cp932_ || isAscii(utf8)) return utf8;
  return toCp932(utf8);
}

std::string Utf8Converter::toCp932(const std::string& utf8) {
  std::string result;
  result.reserve(utf8.size());
  auto converter = static_cast<iconv_t>(iconv_);
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
    char in[4];
    char out[4];
    utf8.copy(in, length, i);
    char* inPointer = in;
    std::size_t inLeft = length;
    char* outPointer = out;
    std::size_t outLeft = sizeof out;
    bool converted = false;
    if (converter != kNoConverter) {
      ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
      converted = ::iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) !=
                      static_cast<std::size_t>(-1) &&
                  inLeft == 0;
    }
    if (converted) {
      result.append(out, outPointer - out);
    } else {
      result += kGetaMark;
    }
    i += length;
  }
  return result;
}

}  // namespace platform
