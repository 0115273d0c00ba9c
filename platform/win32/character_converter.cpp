#include "platform/character_converter.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace platform {
namespace {

// The Windows code page of an encoding name, 0 for one Windows lacks.
// Windows's EUC-JP (20932) knows JIS X 0208 and the half-width katakana,
// not the NEC and IBM rows of EUC-JP-MS: those characters fail and are
// replaced, as on a POSIX system without EUC-JP-MS.
UINT codePageOf(const char* name) {
  static const struct {
    const char* name;
    UINT codePage;
  } kCodePages[] = {{"UTF-8", CP_UTF8}, {"CP932", 932},       {"SHIFT_JIS", 932},
                    {"EUC-JP", 20932},  {"EUC-JP-MS", 20932}, {"ISO-2022-JP", 50220}};
  for (const auto& entry : kCodePages) {
    if (std::strcmp(entry.name, name) == 0) {
      return IsValidCodePage(entry.codePage) ? entry.codePage : 0;
    }
  }
  return 0;
}

// Windows's CP932 holds these characters only in their Microsoft forms
// (a WAVE DASH as FULLWIDTH TILDE, ...); iconv's CP932 takes both, and so
// does this converter, so that a wave dash the validator writes stays one.
void useMicrosoftForms(std::vector<wchar_t>& text) {
  static const struct {
    wchar_t jis;
    wchar_t microsoft;
  } kForms[] = {{0x301C, 0xFF5E}, {0x2016, 0x2225}, {0x2212, 0xFF0D}, {0x00A2, 0xFFE0},
                {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x2014, 0x2015}};
  for (wchar_t& c : text) {
    for (const auto& form : kForms) {
      if (c == form.jis) c = form.microsoft;
    }
  }
}

bool isoCodePage(UINT codePage) {
  return codePage >= 50220 && codePage <= 50222;
}

}  // namespace

CharacterConverter::CharacterConverter(const char* to, const char* from)
    : to_(codePageOf(to)), from_(codePageOf(from)) {}

CharacterConverter::~CharacterConverter() = default;

bool CharacterConverter::isAvailable() const {
  return to_ != 0 && from_ != 0;
}

bool CharacterConverter::convert(const char* text, std::size_t size, std::string* out) {
  if (!isAvailable() || size == 0) return isAvailable();
  const int length = static_cast<int>(size);
  // MB_ERR_INVALID_CHARS makes a byte the source cannot read a failure,
  // never a silent U+FFFD; the ISO-2022 code pages take no flags.
  const DWORD readFlags = isoCodePage(from_) ? 0 : MB_ERR_INVALID_CHARS;
  const int wideLength = MultiByteToWideChar(from_, readFlags, text, length, nullptr, 0);
  if (wideLength <= 0) return false;
  std::vector<wchar_t> wide(wideLength);
  MultiByteToWideChar(from_, readFlags, text, length, wide.data(), wideLength);
  if (to_ == 932) useMicrosoftForms(wide);
  // A character the target lacks must fail too: the flags that report a
  // replaced character are refused for UTF-8, which lacks none, and for
  // the ISO-2022 code pages.
  const bool plain = to_ == CP_UTF8 || isoCodePage(to_);
  BOOL replaced = FALSE;
  const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* usedDefault = plain ? nullptr : &replaced;
  const int bytes =
      WideCharToMultiByte(to_, flags, wide.data(), wideLength, nullptr, 0, nullptr, usedDefault);
  if (bytes <= 0 || replaced) return false;
  std::string converted(bytes, '\0');
  WideCharToMultiByte(to_, flags, wide.data(), wideLength, &converted[0], bytes, nullptr,
                      usedDefault);
  if (replaced) return false;
  out->append(converted);
  return true;
}

}  // namespace platform
