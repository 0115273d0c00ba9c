#include "net/uri_escape.h"

#include <cstring>

namespace {

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

bool startsEscape(const char* p) {
  return p[0] == '%' && isHexDigit(p[1]) && isHexDigit(p[2]);
}

// Bytes escape() must encode although they are printable ASCII.
bool inEscapeSet(unsigned char c) {
  return c != '\0' && std::strchr("<>%\"{}|\\^[]`", c);
}

// Bytes unescape() must leave encoded although they are printable ASCII.
bool inReservedSet(unsigned char c) {
  return c != '\0' && std::strchr(";/?:@&=+$,<>#%\"{}|\\^[]`", c);
}

}  // namespace

std::string escape(const char* text) {
  static const char kHex[] = "0123456789abcdef";
  std::string result;
  if (text == nullptr) return result;
  result.reserve(std::strlen(text));
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if ((c >= 0x21 && c <= 0x7E && !inEscapeSet(c)) || startsEscape(p)) {
      result.push_back(*p);
    } else {
      result.push_back('%');
      result.push_back(kHex[c >> 4]);
      result.push_back(kHex[c & 0x0F]);
    }
  }
  return result;
}

std::string escape(const std::string& text) {
  return escape(text.c_str());
}

std::string unescape(const char* text) {
  std::string result;
  if (text == nullptr) return result;
  result.reserve(std::strlen(text));
  for (const char* p = text; *p != '\0'; ++p) {
    if (startsEscape(p)) {
      const unsigned char value = static_cast<unsigned char>(hexValue(p[1]) * 16 + hexValue(p[2]));
      if (value < 0x20 || value > 0x7E || inReservedSet(value)) {
        result.append(p, 3);
      } else {
        result.push_back(static_cast<char>(value));
      }
      p += 2;
    } else {
      result.push_back(*p);
    }
  }
  return result;
}

std::string unescape(const std::string& text) {
  return unescape(text.c_str());
}
