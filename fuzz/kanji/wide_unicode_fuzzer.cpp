// Decodes arbitrary bytes as UTF-16 and UTF-32 of either byte order, as a
// document with a byte order mark is read, and checks what holds for any
// input: the output is well-formed UTF-8, it does not depend on how the
// bytes arrive (in blocks to the decoder, or through the stream buffer and
// again after a restart), and every change the decoding made is a
// replacement character: encoded back, the output gives the input unless
// it holds U+FFFD.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <sstream>
#include <string>
#include <string_view>

#include "kanji/wide_unicode.h"
#include "kanji/wide_unicode_buffer.h"

namespace {

using kanji::WideForm;

// The code points of well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF, nothing cut off); aborts on anything else.
std::u32string strictUtf8(std::string_view text) {
  std::u32string codes;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC0 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF8 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) std::abort();
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) std::abort();
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < lowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      std::abort();
    }
    codes += code;
    i += length;
  }
  return codes;
}

std::string encode(WideForm form, const std::u32string& codes) {
  const bool little = form == WideForm::Utf16Le || form == WideForm::Utf32Le;
  const bool wide32 = form == WideForm::Utf32Le || form == WideForm::Utf32Be;
  std::string out;
  auto unit = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      const int shift = 8 * (little ? i : bytes - 1 - i);
      out += static_cast<char>((value >> shift) & 0xFF);
    }
  };
  for (char32_t code : codes) {
    if (wide32) {
      unit(code, 4);
    } else if (code >= 0x10000) {
      unit(0xD800 + ((code - 0x10000) >> 10), 2);
      unit(0xDC00 + ((code - 0x10000) & 0x3FF), 2);
    } else {
      unit(code, 2);
    }
  }
  return out;
}

std::string decodeInBlocks(WideForm form, std::string_view input, std::size_t block) {
  kanji::WideDecoder decoder(form);
  std::string out;
  for (std::size_t at = 0; at < input.size(); at += block) {
    decoder.feed(input.data() + at, std::min(block, input.size() - at), out);
  }
  decoder.finish(out);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  for (WideForm form :
       {WideForm::Utf16Le, WideForm::Utf16Be, WideForm::Utf32Le, WideForm::Utf32Be}) {
    const std::string whole = decodeInBlocks(form, input, input.size() + 1);
    const std::u32string codes = strictUtf8(whole);
    if (encode(form, codes) != input && codes.find(U'\xFFFD') == std::u32string::npos) {
      std::abort();
    }
    const std::size_t block = size > 0 ? 1 + data[0] % 7 : 1;
    if (decodeInBlocks(form, input, block) != whole) std::abort();

    std::istringstream file(input);
    kanji::WideUnicodeBuffer buffer(file.rdbuf(), form);
    for (int round = 0; round < 2; ++round) {
      std::istream text(&buffer);
      std::string read;
      for (int c; (c = text.get()) != std::char_traits<char>::eof();) read += static_cast<char>(c);
      if (read != whole) std::abort();
      file.clear();
      file.seekg(0);
      buffer.restart();
    }
  }
  // The form comes from the first bytes alone.
  if (kanji::wideFormOf(input) != kanji::wideFormOf(input.substr(0, 4))) std::abort();
  return 0;
}
