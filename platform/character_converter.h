// Converting one character, or a short run of them, between two encodings
// the system knows: the one conversion service the text converters
// (euc_jp_text, utf8_text, local_text) are built on. iconv on POSIX, the
// Win32 code-page calls (MultiByteToWideChar, WideCharToMultiByte) on
// Windows.
//
// Encodings are named as iconv names them: "UTF-8", "CP932", "SHIFT_JIS",
// "EUC-JP", "EUC-JP-MS", "ISO-2022-JP". A conversion that meets a byte it cannot read, or a
// character the target cannot hold, fails as a whole: the callers replace
// that character and go on. One object per thread.
#ifndef TESSAVO_PLATFORM_CHARACTER_CONVERTER_H_
#define TESSAVO_PLATFORM_CHARACTER_CONVERTER_H_

#include <cstddef>
#include <string>

namespace platform {

class CharacterConverter {
 public:
  CharacterConverter(const char* to, const char* from);
  ~CharacterConverter();
  CharacterConverter(const CharacterConverter&) = delete;
  CharacterConverter& operator=(const CharacterConverter&) = delete;

  // False when the system knows no conversion between the two.
  bool isAvailable() const;

  // Appends the conversion of `size` bytes at `text` to `out`; false, with
  // `out` unchanged, when any of them cannot be converted.
  bool convert(const char* text, std::size_t size, std::string* out);

 private:
  void* iconv_ = nullptr;  // iconv_t (POSIX)
  // Code page numbers (Win32).
  [[maybe_unused]] unsigned to_ = 0;
  [[maybe_unused]] unsigned from_ = 0;
};

}  // namespace platform

#endif  // TESSAVO_PLATFORM_CHARACTER_CONVERTER_H_
