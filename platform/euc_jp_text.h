// Turns text that the validator wrote in EUC-JP into the program's code page
// (platform/code_page.h): UTF-8 by default, CP932 when that is selected.
//
// ASCII passes unchanged. A byte that does not start a valid EUC-JP
// character, and a character the code page cannot hold, become one
// replacement character (U+FFFD under UTF-8, "?" under CP932) and the rest
// of the text goes on: no byte can make a line vanish. Under CP932 the
// conversion is the JIS row/cell arithmetic, so every JIS X 0208 character
// round-trips exactly.
//
// One object per thread; the code page is read when it is constructed.
#ifndef TESSAVO_PLATFORM_EUC_JP_TEXT_H_
#define TESSAVO_PLATFORM_EUC_JP_TEXT_H_

#include <memory>
#include <string>

#include "platform/character_converter.h"

namespace platform {

class EucJpConverter {
 public:
  EucJpConverter();
  ~EucJpConverter();
  EucJpConverter(const EucJpConverter&) = delete;
  EucJpConverter& operator=(const EucJpConverter&) = delete;

  std::string toCodePage(const std::string& eucJp);

 private:
  std::string toUtf8(const std::string& eucJp);
  std::string toCp932(const std::string& eucJp) const;

  bool cp932_;
  std::unique_ptr<CharacterConverter> toUtf8_;  // null under CP932
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_EUC_JP_TEXT_H_
