#include "platform/local_text.h"

#include <iconv.h>

#include "platform/code_page.h"

namespace platform {

std::string localText(const std::string& utf8) {
  if (currentCodePage() != CodePage::Cp932) return utf8;
  iconv_t converter = ::iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return utf8;
  std::string result(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* out = &result[0];
  std::size_t outLeft = result.size();
  while (inLeft > 0 &&
         ::iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    // A character CP932 cannot hold becomes "?"; the rest still converts.
    if (outLeft == 0) break;
    *out++ = '?';
    --outLeft;
    ++in;
    --inLeft;
    while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
      ++in;
      --inLeft;
    }
  }
  ::iconv_close(converter);
  result.resize(result.size() - outLeft);
  return result;
}

}  // namespace platform
