// One run of the converter: the main loop that reads bytes, tracks the
// input's shift state, decides between the decoders, and hands code pairs to
// the encoder; and the look-ahead that settles a pair both Shift_JIS and
// EUC-JP accept.
//
// Used only by TessavoKanji::convert, which checks the codes first. Borrows
// both stream buffers; lives for one conversion.
#ifndef TESSAVO_KANJI_CONVERSION_H_
#define TESSAVO_KANJI_CONVERSION_H_

#include <cstdint>
#include <streambuf>
#include <vector>

#include "kanji/code_pair.h"
#include "kanji/code_pair_writer.h"
#include "kanji/tessavo_kanji.h"

namespace kanji {

class Conversion {
 public:
  // `inputCode` must be 0..3, `outputCode` 1..3.
  Conversion(std::streambuf* in, KanjiCode inputCode, std::streambuf* out, KanjiCode outputCode,
             LineEnd lineEnd);
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  // Converts up to the end of the input. Returns false if a write failed.
  bool run();

  // After run(): what the input was read as: "ISO-2022-JP" when it held an
  // escape sequence, "US-ASCII" when it held no Japanese character, else
  // the decoder of the last decision, "Shift_JIS" or "EUC-JP".
  const char* detectedCharset() const;

 private:
  // The 7-bit decoder is also the undecided state; the other two are
  // decisions.
  enum class Decoder : std::uint8_t { SevenBit, ShiftJis, EucJp };

  // One entry of the look-ahead buffer: a byte pair when `lead` >= 0x80, the
  // single byte `trail` when `lead` is 0 (0x0A standing for a line end), the
  // replacement character when `lead` is kReplacementEntry.
  struct BytePair {
    std::uint8_t lead;
    std::uint8_t trail;
  };
  static constexpr std::uint8_t kReplacementEntry = 1;

  bool decided() const { return decoder_ != Decoder::SevenBit; }

  // Handles a byte with nothing pending; may make it the pending byte.
  // Returns false when the input ended inside an escape sequence.
  bool takeFresh(std::uint8_t byte, int& pending);
  bool takeEscape();
  // True if `byte` opens a two-byte character and must wait for its second
  // byte; a lead byte only one encoding has decides the decoder on the way.
  bool opensPair(std::uint8_t byte);
  void takeAmbiguousOrInvalid(std::uint8_t lead, std::uint8_t trail, int& pending, bool& ended);

  void decodeSingle(std::uint8_t byte);
  void decodePair(std::uint8_t lead, std::uint8_t trail);

  // Reads on from an ambiguous pair until the decoder is decided, then
  // writes the buffered stretch. Returns false when the input ended first.
  // A byte read past a lone CR that ends the look-ahead comes back in
  // `carried`, to be handled as a fresh byte.
  bool lookAhead(std::uint8_t lead, std::uint8_t trail, int& carried);
  void flush(const std::vector<BytePair>& buffer);

  std::streambuf* in_;  // not owned
  CodePairWriter writer_;
  Decoder decoder_;
  Shift inShift_ = Shift::Ascii;
  // For detectedCharset(): an escape sequence was taken, and how many
  // Japanese characters (pairs and half-width katakana) were decoded.
  bool sawDesignation_ = false;
  long japanese_ = 0;
};

}  // namespace kanji

#endif  // TESSAVO_KANJI_CONVERSION_H_
