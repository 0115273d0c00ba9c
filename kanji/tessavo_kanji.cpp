#include "kanji/tessavo_kanji.h"

#include <istream>
#include <ostream>
#include <streambuf>

#include "kanji/conversion.h"

namespace {

bool isInputCode(KanjiCode code) {
  return static_cast<int>(code) >= 0 && static_cast<int>(code) <= 3;
}

bool isOutputCode(KanjiCode code) {
  return static_cast<int>(code) >= 1 && static_cast<int>(code) <= 3;
}

// Stands in for a missing stream buffer: reads as empty, accepts every write.
class EmptyBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

}  // namespace

bool TessavoKanji::convert(std::istream& input, KanjiCode inputCode, std::ostream& output,
                           KanjiCode outputCode, LineEnd lineEnd) {
  if (!isInputCode(inputCode) || !isOutputCode(outputCode)) return false;
  EmptyBuffer empty;
  std::streambuf* in = input.rdbuf() != nullptr ? input.rdbuf() : &empty;
  std::streambuf* out = output.rdbuf() != nullptr ? output.rdbuf() : &empty;
  kanji::Conversion conversion(in, inputCode, out, outputCode, lineEnd);
  const bool written = conversion.run();
  detectedCharset_ = conversion.detectedCharset();
  // Reading through the buffer bypasses the stream, so say here what get()
  // would have said at the end.
  input.setstate(std::ios::eofbit);
  if (!written || out->pubsync() == -1) output.setstate(std::ios::badbit);
  return true;
}
