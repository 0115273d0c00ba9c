// Letter case of ASCII text, the way markup, charset names and protocol
// words compare: only A-Z and a-z fold; every other byte (UTF-8 and CP932
// bytes included) stands for itself. Independent of the C locale.
// Header-only; pure functions.
#ifndef TESSAVO_PLATFORM_ASCII_CASE_H_
#define TESSAVO_PLATFORM_ASCII_CASE_H_

#include <string>
#include <string_view>

namespace platform {

inline char toLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = toLowerAscii(c);
  return result;
}

// True if `text` equals `lowerCase` (which must be written in lower case)
// with ASCII letter case ignored.
inline bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lowerCase) {
  if (text.size() != lowerCase.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (toLowerAscii(text[i]) != lowerCase[i]) return false;
  }
  return true;
}

// True if `text` begins with `lowerCase`, ASCII letter case ignored.
inline bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view lowerCase) {
  return text.size() >= lowerCase.size() &&
         equalsIgnoringAsciiCase(text.substr(0, lowerCase.size()), lowerCase);
}

}  // namespace platform

#endif  // TESSAVO_PLATFORM_ASCII_CASE_H_
