// Turns text that the validator wrote in UTF-8 into the program's code page
// (platform/code_page.h).
//
// Under the UTF-8 code page every line passes unchanged, byte for byte.
// Under CP932 each character is converted; a character CP932 cannot hold,
// and a byte that starts no well-formed UTF-8 character, become one GETA
// MARK "〓" (0x81 0xAC) and the rest of the text goes on: no byte can make a
// line vanish.
//
// One object per thread; the code page is read when it is constructed.
#ifndef TESSAVO_PLATFORM_UTF8_TEXT_H_
#define TESSAVO_PLATFORM_UTF8_TEXT_H_

#include <memory>
#include <string>

#include "platform/character_converter.h"

namespace platform {

class Utf8Converter {
 public:
  Utf8Converter();
  ~Utf8Converter();
  Utf8Converter(const Utf8Converter&) = delete;
  Utf8Converter& operator=(const Utf8Converter&) = delete;

  std::string toCodePage(const std::string& utf8);

 private:
  std::string toCp932(const std::string& utf8);

  bool cp932_;
  std::unique_ptr<CharacterConverter> toCp932_;  // null under UTF-8
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_UTF8_TEXT_H_
