#include "platform/code_page.h"

#include <windows.h>

#include <atomic>

namespace platform {
namespace {

constexpr UINT kCp932 = 932;

// The program's byte strings are in the system's ANSI code page: CP932 on
// a Japanese Windows, UTF-8 where the system uses that.
CodePage systemCodePage() {
  return GetACP() == kCp932 ? CodePage::Cp932 : CodePage::Utf8;
}

// Made at the first use, so that a selection made while other statics are
// initialised is never overwritten by this one's own initialisation.
std::atomic<CodePage>& selectedCodePage() {
  static std::atomic<CodePage> selected{systemCodePage()};
  return selected;
}

}  // namespace

void setCodePage(CodePage codePage) {
  selectedCodePage().store(codePage);
}

CodePage currentCodePage() {
  return selectedCodePage().load();
}

bool IsDBCSLeadByte(unsigned char byte) {
  if (currentCodePage() == CodePage::Cp932) return IsDBCSLeadByteEx(kCp932, byte) != FALSE;
  return byte >= 0xC2 && byte <= 0xF4;
}

const char* CharNextA(const char* text) {
  if (*text == '\0') return text;
  if (currentCodePage() == CodePage::Cp932) {
    // A lead byte cut off by the terminator is one byte.
    return IsDBCSLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0' ? text + 2
                                                                                : text + 1;
  }
  const auto lead = static_cast<unsigned char>(*text);
  const int length = lead >= 0xF0 && lead <= 0xF4   ? 4
                     : lead >= 0xE0 && lead <= 0xEF ? 3
                     : lead >= 0xC2 && lead <= 0xDF ? 2
                                                    : 1;
  for (int i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return text + 1;
  }
  return text + length;
}

char* CharNextA(char* text) {
  return const_cast<char*>(CharNextA(static_cast<const char*>(text)));
}

}  // namespace platform
