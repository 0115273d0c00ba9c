#include "kanji/wide_unicode.h"

namespace kanji {
namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool isHighSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

WideForm wideFormOf(std::string_view start) {
  if (start.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4)) return WideForm::Utf32Le;
  if (start.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4)) return WideForm::Utf32Be;
  if (start.substr(0, 2) == "\xFF\xFE") return WideForm::Utf16Le;
  if (start.substr(0, 2) == "\xFE\xFF") return WideForm::Utf16Be;
  return WideForm::None;
}

const char* wideFormName(WideForm form) {
  switch (form) {
    case WideForm::Utf16Le:
      return "UTF-16LE";
    case WideForm::Utf16Be:
      return "UTF-16BE";
    case WideForm::Utf32Le:
      return "UTF-32LE";
    case WideForm::Utf32Be:
      return "UTF-32BE";
    case WideForm::None:
      break;
  }
  return "";
}

std::size_t WideDecoder::unitSize() const {
  return form_ == WideForm::Utf32Le || form_ == WideForm::Utf32Be ? 4 : 2;
}

std::uint32_t WideDecoder::unitValue() const {
  const bool little = form_ == WideForm::Utf16Le || form_ == WideForm::Utf32Le;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < unitSize(); ++i) {
    value = (value << 8) | unit_[little ? unitSize() - 1 - i : i];
  }
  return value;
}

void WideDecoder::decodeUnit(std::uint32_t unit, std::string& out) {
  if (unitSize() == 4) {
    const bool character = unit <= 0x10FFFF && !isHighSurrogate(unit) && !isLowSurrogate(unit);
    appendUtf8(character ? unit : kReplacement, out);
    return;
  }
  if (highSurrogate_ != 0) {
    if (isLowSurrogate(unit)) {
      appendUtf8(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00), out);
      highSurrogate_ = 0;
      return;
    }
    // The first half had no second: it alone is replaced, and this unit
    // is read on its own.
    appendUtf8(kReplacement, out);
    highSurrogate_ = 0;
  }
  if (isHighSurrogate(unit)) {
    highSurrogate_ = unit;
  } else {
    appendUtf8(isLowSurrogate(unit) ? kReplacement : unit, out);
  }
}

void WideDecoder::feed(const char* data, std::size_t size, std::string& out) {
  if (form_ == WideForm::None) {
    out.append(data, size);
    return;
  }
  for (std::size_t i = 0; i < size; ++i) {
    unit_[filled_++] = static_cast<unsigned char>(data[i]);
    if (filled_ == unitSize()) {
      filled_ = 0;
      decodeUnit(unitValue(), out);
    }
  }
}

void WideDecoder::finish(std::string& out) {
  if (highSurrogate_ != 0) appendUtf8(kReplacement, out);
  if (filled_ != 0) appendUtf8(kReplacement, out);
  highSurrogate_ = 0;
  filled_ = 0;
}

}  // namespace kanji
