// Analyses arbitrary bytes as a document, with and without an HTTP
// Content-Type taken from the input, and checks what holds for any input:
// the result does not depend on how the bytes arrive, UTF-8 chosen by the
// bytes alone means well-formed UTF-8 with a multibyte character that is
// not also plain EUC-JP,
// the doctype text that may reach the error pane is short, printable and
// one of HTML5's forms, and the UTF-8 copy changes nothing but line ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "kanji/document_analysis.h"
#include "kanji/utf8_copy.h"
#include "platform/ascii_case.h"

namespace {

// A second, plain reading of the bytes, for the bytes-alone case: UTF-8
// decoded by shifting bits (a character cut off by the end is allowed), and
// EUC-JP as pairs of bytes 0xA1-0xFE or SS2 before 0xA1-0xDF.
struct Reading {
  bool utf8 = true;
  std::size_t multibyte = 0;
  std::size_t longCharacters = 0;
  bool eucJp = true;
};

Reading readPlainly(std::string_view text) {
  Reading reading;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 1;
    unsigned int code = lead;
    if (lead >= 0xC0 && lead < 0xE0) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF8) {
      length = 4;
      code = lead & 0x07;
    } else if (lead >= 0x80) {
      reading.utf8 = false;
      break;
    }
    if (i + length > text.size()) break;  // cut off at the end
    for (std::size_t k = 1; k < length; ++k) {
      if ((byte(k) & 0xC0) != 0x80) reading.utf8 = false;
      code = (code << 6) | (byte(k) & 0x3F);
    }
    const unsigned int lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < lowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      reading.utf8 = false;
    }
    if (!reading.utf8) break;
    reading.multibyte += length > 1;
    reading.longCharacters += length > 2;
    i += length;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) continue;
    const bool pairLead = lead == 0x8E || (lead >= 0xA1 && lead <= 0xFE);
    if (!pairLead) {
      reading.eucJp = false;
      break;
    }
    if (++i == text.size()) break;
    const auto trail = static_cast<unsigned char>(text[i]);
    if (trail < 0xA1 || trail > (lead == 0x8E ? 0xDF : 0xFE)) {
      reading.eucJp = false;
      break;
    }
  }
  return reading;
}

bool sameAnalysis(const kanji::DocumentAnalysis& a, const kanji::DocumentAnalysis& b) {
  return a.encoding == b.encoding && a.reason == b.reason && a.syntax == b.syntax &&
         a.dtd == b.dtd && a.doctypeText == b.doctypeText;
}

void checkDoctypeText(const kanji::DocumentAnalysis& analysis) {
  if (analysis.dtd != kanji::DtdKind::Html5) {
    if (!analysis.doctypeText.empty()) std::abort();
    return;
  }
  const std::string lower = platform::toLowerAscii(analysis.doctypeText);
  if (lower != "<!doctype html>" && lower != "<!doctype html >") std::abort();
}

// The copy must hold the input's bytes with every CR LF, lone CR and lone
// LF written as CR LF.
void checkUtf8Copy(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  if (!kanji::copyUtf8Text(in, out, LineEnd::CrLf)) std::abort();
  std::string expected;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\r' || input[i] == '\n') {
      if (input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n') ++i;
      expected += "\r\n";
    } else {
      expected += input[i];
    }
  }
  if (out.str() != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The first line may stand for a download's Content-Type.
  const std::size_t newline = input.find('\n');
  const std::string contentType =
      newline == std::string::npos ? std::string() : input.substr(0, newline);

  for (const std::string& type : {std::string(), contentType}) {
    const kanji::DocumentAnalysis whole = kanji::analyseDocument(input, type);
    checkDoctypeText(whole);
    if (whole.reason == kanji::EncodingReason::Utf8Bytes) {
      const Reading reading = readPlainly(input);
      if (!reading.utf8 || reading.multibyte == 0) std::abort();
      if (reading.longCharacters == 0 && reading.eucJp) std::abort();
    }
    // Blocks of every size from the first byte's value, as a stream would
    // deliver them, give the same analysis.
    kanji::DocumentAnalyser analyser;
    const std::size_t block = size > 0 ? 1 + data[0] % 17 : 1;
    for (std::size_t at = 0; at < size; at += block) {
      analyser.feed(input.data() + at, std::min(block, size - at));
    }
    if (!sameAnalysis(analyser.finish(type), whole)) std::abort();
  }
  checkUtf8Copy(input);
  return 0;
}
