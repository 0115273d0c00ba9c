// Converts a Japanese text between ISO-2022-JP, Shift_JIS and EUC-JP,
// detecting the input's encoding on the fly, and normalises its line ends.
//
// There is no separate detection pass: bytes are read one at a time, the
// encoding is decided pair by pair, and a decision holds only until a later
// pair contradicts it. Every line end of the input (CR LF, lone CR or lone
// LF) gives exactly one line end in the output. Bytes that form no character
// become the GETA MARK (row 2 cell 14); an invalid pair consumes both its
// bytes, so a line end right after a stray lead byte is lost with it.
//
// Streams are read and written through their stream buffers, one byte at a
// time; nothing holds the whole document. The only growing structure is the
// look-ahead buffer that holds the stretch of text between a pair both
// Shift_JIS and EUC-JP accept and the byte that tells them apart.
//
// One object serves one conversion at a time; all state is reset at the
// start of each call. Not thread-safe: a thread uses its own object.
#ifndef TESSAVO_KANJI_TESSAVO_KANJI_H_
#define TESSAVO_KANJI_TESSAVO_KANJI_H_

#include <iosfwd>

// Character codes, for both the input and the output side. Values other than
// those listed can be stored (they arrive from callers as numbers) and make
// convert() fail.
enum class KanjiCode : int {
  AutoDetect = 0,  // input only: detect; starts like Jis
  Jis = 1,         // ISO-2022-JP; as input code the same as AutoDetect
  ShiftJis = 2,    // as input code: starts decided as Shift_JIS
  EucJp = 3,       // as input code: starts decided as EUC-JP
};

// What a line end becomes in the output. Any other value writes nothing for
// a line end.
enum class LineEnd : int {
  Cr = 0,    // 0x0D
  Lf = 1,    // 0x0A
  CrLf = 2,  // 0x0D 0x0A
};

class TessavoKanji {
 public:
  TessavoKanji() = default;
  TessavoKanji(const TessavoKanji&) = delete;
  TessavoKanji& operator=(const TessavoKanji&) = delete;
  virtual ~TessavoKanji() = default;

  // Reads `input` to its end and writes it re-encoded into `output`.
  // Returns false, reading and writing nothing, when `inputCode` is not one
  // of the four codes or `outputCode` is AutoDetect or not a code at all;
  // true otherwise, wherever the input ends. A failed write does not stop
  // the conversion; it sets badbit on `output` at the end. A stream without
  // a buffer reads as empty, or swallows what is written.
  bool convert(std::istream& input, KanjiCode inputCode, std::ostream& output, KanjiCode outputCode,
               LineEnd lineEnd);

  // What the last conversion read its input as: "ISO-2022-JP", "Shift_JIS",
  // "EUC-JP", or "US-ASCII" when the input held no Japanese character; the
  // empty text before any conversion. A text that mixes encodings is named
  // by the converter's last decision.
  const char* detectedCharset() const { return detectedCharset_; }

 private:
  const char* detectedCharset_ = "";
};

#endif  // TESSAVO_KANJI_TESSAVO_KANJI_H_
