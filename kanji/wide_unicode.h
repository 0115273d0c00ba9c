// Reads documents written in UTF-16 or UTF-32 with a byte order mark as
// UTF-8.
//
// The mark at the very start tells the form: FF FE 00 00 is UTF-32LE,
// 00 00 FE FF UTF-32BE, FF FE UTF-16LE and FE FF UTF-16BE (FF FE 00 00 is
// taken as UTF-32, not as UTF-16 followed by U+0000, as Unicode's table of
// signatures reads it). Without a mark the text is not taken for either.
//
// WideDecoder writes the mark as UTF-8's own (EF BB BF), so that the
// analysis, the copy and the validator take the text as a UTF-8 document
// with a byte order mark, and each character as its UTF-8 bytes; line ends
// stay as they were for the copy to normalise. A code unit that makes no
// character (a lone surrogate, a UTF-32 value above U+10FFFF or in the
// surrogate range, a unit cut off by the end of the text) becomes U+FFFD,
// the replacement character, as browsers decode it: a damaged document is
// still checked, and the validator's column numbers still count one
// character for each unit.
//
// Plain values; one thread at a time.
#ifndef TESSAVO_KANJI_WIDE_UNICODE_H_
#define TESSAVO_KANJI_WIDE_UNICODE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kanji {

enum class WideForm { None, Utf16Le, Utf16Be, Utf32Le, Utf32Be };

// The form the byte order mark at the start of `start` (the first four bytes
// of a document, or all of a shorter one) announces; None without one.
WideForm wideFormOf(std::string_view start);

// "UTF-16LE", "UTF-16BE", "UTF-32LE" or "UTF-32BE"; "" for None.
const char* wideFormName(WideForm form);

class WideDecoder {
 public:
  explicit WideDecoder(WideForm form) : form_(form) {}

  // Decodes the next block of the text, byte order mark included, and
  // appends the UTF-8 to `out`. A code unit or a surrogate pair that the
  // block cuts off waits for the next block. With None the bytes pass as
  // they are.
  void feed(const char* data, std::size_t size, std::string& out);

  // The end of the text: what still waits becomes U+FFFD.
  void finish(std::string& out);

 private:
  std::size_t unitSize() const;
  std::uint32_t unitValue() const;
  void decodeUnit(std::uint32_t unit, std::string& out);

  WideForm form_;
  unsigned char unit_[4] = {0, 0, 0, 0};  // the bytes of a unit so far
  std::size_t filled_ = 0;
  std::uint32_t highSurrogate_ = 0;  // UTF-16's first half of a pair, or 0
};

}  // namespace kanji

#endif  // TESSAVO_KANJI_WIDE_UNICODE_H_
