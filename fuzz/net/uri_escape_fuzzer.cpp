// Runs arbitrary bytes through escape() and unescape() and checks their
// promises: escape() writes only bytes that may stand in a URI and at most
// three per input byte, and undoing it loses nothing a second escape would
// change; unescape() never makes a reserved, control or 0x80-and-above byte
// appear that its input did not already hold as a plain byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/uri_escape.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

bool isForbiddenResult(unsigned char c) {
  return c < 0x20 || c > 0x7E || std::strchr(";/?:@&=+$,<>#%\"{}|\\^[]`", c) != nullptr;
}

bool mayStandInUri(unsigned char c) {
  return c == '%' || (c >= 0x21 && c <= 0x7E && std::strchr("<>\"{}|\\^[]`", c) == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text(input.c_str());

  const std::string escaped = escape(input);
  require(escaped.size() <= 3 * text.size());
  for (char c : escaped) require(mayStandInUri(static_cast<unsigned char>(c)));
  require(escape(escaped) == escaped);

  const std::string unescaped = unescape(input);
  require(unescaped.size() <= text.size());
  std::size_t before[256] = {};
  std::size_t after[256] = {};
  for (char c : text) ++before[static_cast<unsigned char>(c)];
  for (char c : unescaped) ++after[static_cast<unsigned char>(c)];
  for (int c = 0; c < 256; ++c) {
    if (isForbiddenResult(static_cast<unsigned char>(c))) require(after[c] <= before[c]);
  }
  return 0;
}
