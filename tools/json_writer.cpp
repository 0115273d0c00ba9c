#include "tools/json_writer.h"

#include <cstdio>
#include <utility>

#include "platform/utf8_sequence.h"

namespace {

const char kReplacementCharacter[] = "\xEF\xBF\xBD";

}  // namespace

std::string jsonString(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  result += '"';
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    const unsigned char byte = bytes[at];
    if (byte < 0x80) {
      switch (byte) {
        case '"':
          result += "\\\"";
          break;
        case '\\':
          result += "\\\\";
          break;
        case '\n':
          result += "\\n";
          break;
        case '\r':
          result += "\\r";
          break;
        case '\t':
          result += "\\t";
          break;
        default:
          if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            result += escaped;
          } else {
            result += static_cast<char>(byte);
          }
      }
      ++at;
      continue;
    }
    const std::size_t length = platform::utf8CharacterLength(bytes + at, text.size() - at);
    if (length == 0 || length == platform::kUtf8CutOff) {
      result += kReplacementCharacter;
      ++at;
    } else {
      result.append(text.data() + at, length);
      at += length;
    }
  }
  result += '"';
  return result;
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!open_.empty()) {
    if (open_.back()) text_ += ',';
    open_.back() = true;
  }
}

void JsonWriter::beginObject() {
  beforeValue();
  text_ += '{';
  open_.push_back(false);
}

void JsonWriter::endObject() {
  text_ += '}';
  if (!open_.empty()) open_.pop_back();
}

void JsonWriter::beginArray() {
  beforeValue();
  text_ += '[';
  open_.push_back(false);
}

void JsonWriter::endArray() {
  text_ += ']';
  if (!open_.empty()) open_.pop_back();
}

void JsonWriter::key(std::string_view name) {
  beforeValue();
  text_ += jsonString(name);
  text_ += ':';
  afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
  beforeValue();
  text_ += jsonString(text);
}

void JsonWriter::value(std::int64_t number) {
  beforeValue();
  text_ += std::to_string(number);
}

void JsonWriter::value(bool flag) {
  beforeValue();
  text_ += flag ? "true" : "false";
}

void JsonWriter::null() {
  beforeValue();
  text_ += "null";
}

std::string JsonWriter::take() {
  return std::exchange(text_, std::string());
}
