// The encodings the validator reads a document copy in and writes its
// messages in, and the conversion of its message lines into the program's
// code page.
//
// The check run gives the validator a copy in EUC-JP (the Japanese
// conversion) or in UTF-8 (a UTF-8 document kept as it is) and sets
// SP_ENCODING accordingly; the validator then writes its messages in the
// same encoding, so each line is converted by the encoding of the copy it
// is about (platform/euc_jp_text.h, platform/utf8_text.h).
//
// One ValidatorText per thread; the code page is read when it is
// constructed.
#ifndef TESSAVO_PLATFORM_VALIDATOR_TEXT_H_
#define TESSAVO_PLATFORM_VALIDATOR_TEXT_H_

#include <string>

#include "platform/euc_jp_text.h"
#include "platform/utf8_text.h"

namespace platform {

enum class ValidatorEncoding { EucJp, Utf8 };

// The value of SP_ENCODING for `encoding`: "EUC-JP" or "UTF-8".
const char* spEncodingName(ValidatorEncoding encoding);

class ValidatorText {
 public:
  ValidatorText() = default;
  ValidatorText(const ValidatorText&) = delete;
  ValidatorText& operator=(const ValidatorText&) = delete;

  // A line the validator wrote, in the program's code page.
  std::string toCodePage(const std::string& line, ValidatorEncoding encoding);

 private:
  EucJpConverter eucJp_;
  Utf8Converter utf8_;
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_VALIDATOR_TEXT_H_
