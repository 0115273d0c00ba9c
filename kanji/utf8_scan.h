// Tells whether a byte stream is well-formed UTF-8, fed block by block.
//
// Well-formed as Unicode defines it: no overlong forms, no surrogates, nothing
// above U+10FFFF, no stray continuation bytes. A sequence may be split across
// blocks. A sequence cut off by the end of the input does not make the input
// ill-formed, so that a download that stops inside a character still counts
// by what it holds; it is not counted as a multibyte character either.
//
// A plain value; one thread at a time.
#ifndef TESSAVO_KANJI_UTF8_SCAN_H_
#define TESSAVO_KANJI_UTF8_SCAN_H_

#include <cstddef>
#include <cstdint>

namespace kanji {

class Utf8Scan {
 public:
  // Scans the next block. Once the input is known to be ill-formed, further
  // blocks are not looked at.
  void feed(const char* data, std::size_t size);

  // True while every byte fed so far belongs to a well-formed sequence or to
  // one still waiting for its continuation bytes.
  bool wellFormed() const { return wellFormed_; }

  // Number of complete sequences of two to four bytes seen.
  std::size_t multibyteCount() const { return multibyte_; }

  // Number of those that are three or four bytes long (U+0800 on: every
  // kana and kanji).
  std::size_t longCount() const { return long_; }

 private:
  void count(std::size_t length);

  bool wellFormed_ = true;
  std::size_t multibyte_ = 0;
  std::size_t long_ = 0;
  // The beginning of a character that the last block cut off.
  std::uint8_t carry_[4] = {0, 0, 0, 0};
  std::size_t carried_ = 0;
};

}  // namespace kanji

#endif  // TESSAVO_KANJI_UTF8_SCAN_H_
