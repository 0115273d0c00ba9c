// ASCII case folding: the one rule by which the program compares names
// without regard to case (HTTP field names and values, profile sections and
// keys, file name extensions, the help page's name, charset names and markup
// in documents) and orders listings.
//
// Only the letters 'A' to 'Z' fold. Every other byte, including each byte
// of multibyte text in any code page, compares as it is, so the results do
// not depend on the locale the window sets nor on the code page. Bytes
// compare as unsigned. Pure functions; any thread.
#ifndef TESSAVO_PLATFORM_ASCII_CASE_H_
#define TESSAVO_PLATFORM_ASCII_CASE_H_

#include <algorithm>
#include <string>
#include <string_view>

namespace platform {

constexpr char toLowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string toLowerAscii(std::string text) {
  for (char& c : text) c = toLowerAscii(c);
  return text;
}

inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return toLowerAscii(x) == toLowerAscii(y);
         });
}

// Whether `text` begins with `prefix` when both are folded.
inline bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// Whether `a` comes before `b` when both are folded: "a" < "B" < "c".
inline bool lessIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(toLowerAscii(x)) <
           static_cast<unsigned char>(toLowerAscii(y));
  });
}

}  // namespace platform

#endif  // TESSAVO_PLATFORM_ASCII_CASE_H_
