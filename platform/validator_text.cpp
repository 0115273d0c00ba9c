#include "platform/validator_text.h"

namespace platform {

const char* spEncodingName(ValidatorEncoding encoding) {
  return encoding == ValidatorEncoding::Utf8 ? "UTF-8" : "EUC-JP";
}

std::string ValidatorText::toCodePage(const std::string& line, ValidatorEncoding encoding) {
  return encoding == ValidatorEncoding::Utf8 ? utf8_.toCodePage(line) : eucJp_.toCodePage(line);
}

}  // namespace platform
