// The three encoders: writes code pairs into a stream buffer as
// ISO-2022-JP, Shift_JIS or EUC-JP, with the chosen line end.
//
// The single byte 0x0A stands for a line end. Half-width katakana
// (0xA1..0xDF) get SS2 in EUC-JP, a shift into JIS X 0201 katakana in
// ISO-2022-JP, and stay single bytes in Shift_JIS. ISO-2022-JP returns to
// single-byte mode with the JIS X 0201 Roman designation ESC ( J and has no
// form for the single bytes 0x80..0xA0 and 0xE0..0xFF, which it drops.
//
// The writer borrows the stream buffer. After the first failed write it
// writes nothing more (a file buffer whose write failed must not be fed
// further: libstdc++'s then writes past its own storage); the conversion
// still reads to the end and failed() tells afterwards. Header-only so that
// the per-byte path inlines.
#ifndef TESSAVO_KANJI_CODE_PAIR_WRITER_H_
#define TESSAVO_KANJI_CODE_PAIR_WRITER_H_

#include <cstdint>
#include <streambuf>

#include "kanji/code_pair.h"
#include "kanji/tessavo_kanji.h"

namespace kanji {

class CodePairWriter {
 public:
  // `code` must be Jis, ShiftJis or EucJp.
  CodePairWriter(std::streambuf* out, KanjiCode code, LineEnd lineEnd) : out_(out), code_(code) {
    switch (lineEnd) {
      case LineEnd::Cr:
        lineEnd_[lineEndSize_++] = 0x0D;
        break;
      case LineEnd::Lf:
        lineEnd_[lineEndSize_++] = 0x0A;
        break;
      case LineEnd::CrLf:
        lineEnd_[lineEndSize_++] = 0x0D;
        lineEnd_[lineEndSize_++] = 0x0A;
        break;
    }
  }

  void write(CodePair pair) {
    switch (code_) {
      case KanjiCode::EucJp:
        writeEucJp(pair);
        break;
      case KanjiCode::ShiftJis:
        writeShiftJis(pair);
        break;
      default:
        writeJis(pair);
        break;
    }
  }

  void writeLineEnd() { write({0, 0x0A}); }

  // Ends the text. An ISO-2022-JP text left in kanji or katakana mode gets a
  // final ESC ( J, so that every output ends in single-byte mode and stays
  // well-formed when it is joined with other text.
  void finish() {
    if (code_ == KanjiCode::Jis && shift_ != Shift::Ascii) designate(Shift::Ascii);
  }

  bool failed() const { return failed_; }

 private:
  void put(std::uint8_t byte) {
    using Traits = std::streambuf::traits_type;
    if (failed_) return;
    if (out_->sputc(static_cast<char>(byte)) == Traits::eof()) failed_ = true;
  }

  void putLineEnd() {
    for (int i = 0; i < lineEndSize_; ++i) put(lineEnd_[i]);
  }

  static bool isHalfWidthKatakana(std::uint8_t byte) { return byte >= 0xA1 && byte <= 0xDF; }

  void writeEucJp(CodePair pair) {
    if (pair.first != 0) {
      put(static_cast<std::uint8_t>(pair.first + 0xA0));
      put(static_cast<std::uint8_t>(pair.second + 0xA0));
    } else if (pair.second == 0x0A) {
      putLineEnd();
    } else {
      if (isHalfWidthKatakana(pair.second)) put(0x8E);
      put(pair.second);
    }
  }

  void writeShiftJis(CodePair pair) {
    if (pair.first != 0) {
      const int row = pair.first;
      const int cell = pair.second;
      put(static_cast<std::uint8_t>((row - 1) / 2 + (row <= 62 ? 0x81 : 0xC1)));
      if (row % 2 == 1) {
        put(static_cast<std::uint8_t>(cell + (cell <= 63 ? 0x3F : 0x40)));
      } else {
        put(static_cast<std::uint8_t>(cell + 0x9E));
      }
    } else if (pair.second == 0x0A) {
      putLineEnd();
    } else {
      put(pair.second);
    }
  }

  void writeJis(CodePair pair) {
    if (pair.first != 0) {
      if (shift_ != Shift::Kanji) designate(Shift::Kanji);
      put(static_cast<std::uint8_t>(pair.first + 0x20));
      put(static_cast<std::uint8_t>(pair.second + 0x20));
    } else if (pair.second == 0x0A) {
      if (shift_ != Shift::Ascii) designate(Shift::Ascii);
      putLineEnd();
    } else if (isHalfWidthKatakana(pair.second)) {
      if (shift_ != Shift::Katakana) designate(Shift::Katakana);
      put(static_cast<std::uint8_t>(pair.second - 0x80));
    } else if (pair.second <= 0x7F) {
      if (shift_ != Shift::Ascii) designate(Shift::Ascii);
      put(pair.second);
    }
  }

  // Writes the escape sequence that selects `shift`: ESC $ B, ESC ( I or
  // ESC ( J.
  void designate(Shift shift) {
    put(0x1B);
    switch (shift) {
      case Shift::Kanji:
        put('$');
        put('B');
        break;
      case Shift::Katakana:
        put('(');
        put('I');
        break;
      case Shift::Ascii:
        put('(');
        put('J');
        break;
    }
    shift_ = shift;
  }

  std::streambuf* out_;  // not owned
  KanjiCode code_;
  Shift shift_ = Shift::Ascii;
  std::uint8_t lineEnd_[2] = {0, 0};
  int lineEndSize_ = 0;
  bool failed_ = false;
};

}  // namespace kanji

#endif  // TESSAVO_KANJI_CODE_PAIR_WRITER_H_
