// Converts arbitrary bytes with every pair of input and output codes and
// every line-end mode, and checks what holds for any input: ASCII text
// comes out with only its line ends changed, a line end never comes out of
// nothing, and ISO-2022-JP output is 7-bit and ends in single-byte mode.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "kanji/tessavo_kanji.h"

namespace {

const char* lineEndBytes(int mode) {
  switch (mode) {
    case 0:
      return "\r";
    case 1:
      return "\n";
    case 2:
      return "\r\n";
    default:
      return "";
  }
}

// True if nothing in `text` can start a two-byte character or an escape.
bool isPlainAscii(const std::string& text) {
  for (unsigned char byte : text) {
    if (byte == 0x00 || byte == 0x1B || byte >= 0x80) return false;
  }
  return true;
}

// `text` with every CR LF, lone CR and lone LF replaced by `lineEnd`.
std::string withLineEnds(const std::string& text, const char* lineEnd, std::size_t* count) {
  std::string result;
  *count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      result += lineEnd;
      ++*count;
    } else {
      result += text[i];
    }
  }
  return result;
}

// ISO-2022-JP output of an input without ESC holds only the encoder's own
// escape sequences; the last one must return to single-byte mode.
void checkJisOutput(const std::string& output, bool inputHasEscape) {
  for (unsigned char byte : output) {
    if (byte >= 0x80) std::abort();
  }
  if (inputHasEscape) return;
  const std::size_t last = output.rfind('\x1B');
  if (last != std::string::npos && output.compare(last, 3, "\x1B(J") != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const bool plain = isPlainAscii(input);
  const bool hasEscape = input.find('\x1B') != std::string::npos;
  for (int inputCode = 0; inputCode <= 3; ++inputCode) {
    for (int outputCode = 1; outputCode <= 3; ++outputCode) {
      for (int lineEnd = 0; lineEnd <= 3; ++lineEnd) {
        std::istringstream in(input);
        std::ostringstream out;
        TessavoKanji converter;
        if (!converter.convert(in, static_cast<KanjiCode>(inputCode), out,
                               static_cast<KanjiCode>(outputCode), static_cast<LineEnd>(lineEnd))) {
          std::abort();
        }
        const std::string output = out.str();
        std::size_t lineEnds = 0;
        const std::string normalised = withLineEnds(input, lineEndBytes(lineEnd), &lineEnds);
        if (plain && output != normalised) std::abort();
        if (lineEnd == 1) {
          std::size_t lf = 0;
          for (char byte : output) lf += byte == '\n';
          if (lf > lineEnds) std::abort();
        }
        if (outputCode == 1) checkJisOutput(output, hasEscape);
      }
    }
  }
  return 0;
}
