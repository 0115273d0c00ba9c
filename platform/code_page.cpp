#include "platform/code_page.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<CodePage> selectedCodePage{CodePage::Utf8};

bool isUtf8Continuation(unsigned char byte) {
  return byte >= 0x80 && byte <= 0xBF;
}

// Length of the UTF-8 sequence that `lead` announces, 1 for anything that
// does not start a valid multibyte sequence.
int utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

void setCodePage(CodePage codePage) {
  selectedCodePage.store(codePage);
}

CodePage currentCodePage() {
  return selectedCodePage.load();
}

bool IsDBCSLeadByte(unsigned char byte) {
  if (currentCodePage() == CodePage::Cp932) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  }
  return utf8SequenceLength(byte) > 1;
}

const char* CharNextA(const char* text) {
  const auto lead = static_cast<unsigned char>(*text);
  if (lead == 0) return text;
  if (currentCodePage() == CodePage::Cp932) {
    return IsDBCSLeadByte(lead) && text[1] != '\0' ? text + 2 : text + 1;
  }
  const int length = utf8SequenceLength(lead);
  for (int i = 1; i < length; ++i) {
    if (!isUtf8Continuation(static_cast<unsigned char>(text[i]))) return text + 1;
  }
  return text + length;
}

char* CharNextA(char* text) {
  return const_cast<char*>(CharNextA(static_cast<const char*>(text)));
}

}  // namespace platform
