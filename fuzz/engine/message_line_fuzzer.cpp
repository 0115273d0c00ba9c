// One line of a validator's error file, or any bytes in its place: split
// into position, kind and text, then written as a JSON string. The parts
// must come from the line itself, and the JSON text must be valid UTF-8
// with no raw control character, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/message_parts.h"
#include "platform/utf8_sequence.h"
#include "tools/json_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const MessageParts parts = splitMessageLine(line);
  // The text is the end of the line; another file's name is its start.
  if (parts.text.size() > line.size() ||
      line.compare(line.size() - parts.text.size(), parts.text.size(), parts.text) != 0) {
    std::abort();
  }
  if (line.compare(0, parts.file.size(), parts.file) != 0) std::abort();
  if (parts.line < 0 || parts.column < 0) std::abort();
  if (parts.kind != 0 && (parts.kind < 'A' || parts.kind > 'Z')) std::abort();

  const std::string json = jsonString(line);
  const auto* bytes = reinterpret_cast<const unsigned char*>(json.data());
  if (json.size() < 2 || json.front() != '"' || json.back() != '"') std::abort();
  for (std::size_t at = 0; at < json.size();) {
    if (bytes[at] < 0x20) std::abort();
    const std::size_t length = platform::utf8CharacterLength(bytes + at, json.size() - at);
    if (length == 0 || length == platform::kUtf8CutOff) std::abort();
    at += length;
  }
  return 0;
}
