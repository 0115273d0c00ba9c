// Blanks as the program's text formats know them (HTTP fields, profile
// values, command lines): the space and the horizontal tab, nothing else,
// so no locale and no code page changes what counts. Pure functions; any
// thread.
#ifndef TESSAVO_PLATFORM_ASCII_BLANK_H_
#define TESSAVO_PLATFORM_ASCII_BLANK_H_

#include <string>

namespace platform {

constexpr bool isAsciiBlank(char c) {
  return c == ' ' || c == '\t';
}

// `text` without the blanks at either end.
inline std::string trimmedOfBlanks(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isAsciiBlank(text[begin])) ++begin;
  while (end > begin && isAsciiBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace platform

#endif  // TESSAVO_PLATFORM_ASCII_BLANK_H_
