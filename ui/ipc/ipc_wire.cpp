#include "ui/ipc/ipc_wire.h"

#include <cstdint>

namespace ipc_wire {
namespace {

std::string length32(std::size_t length) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((length >> (8 * i)) & 0xff);
  return bytes;
}

std::string field(const std::string& bytes) {
  return length32(bytes.size()) + bytes;
}

// Each byte as the UTF-8 form of the character U+0000..U+00FF.
std::string toUtf8(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const unsigned char byte : bytes) {
    if (byte < 0x80) {
      text += static_cast<char>(byte);
    } else {
      text += static_cast<char>(0xc0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3f));
    }
  }
  return text;
}

// The reverse; false for anything that is not a character up to U+00FF.
bool fromUtf8(const std::string& text, std::string* bytes) {
  bytes->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      *bytes += static_cast<char>(lead);
      continue;
    }
    if ((lead != 0xc2 && lead != 0xc3) || i + 1 == text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if ((trail & 0xc0) != 0x80) return false;
    *bytes += static_cast<char>(((lead & 0x03) << 6) | (trail & 0x3f));
  }
  return true;
}

// Reads fields one after another from the start of a buffer.
class Cursor {
 public:
  explicit Cursor(const std::string& input) : input_(input) {}

  Parse byte(unsigned char* value) {
    if (at_ >= input_.size()) return Parse::Incomplete;
    *value = static_cast<unsigned char>(input_[at_++]);
    return Parse::Complete;
  }

  Parse data(std::string* bytes) {
    if (input_.size() - at_ < 4) return Parse::Incomplete;
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) {
      length |= static_cast<std::uint32_t>(static_cast<unsigned char>(input_[at_ + i])) << (8 * i);
    }
    if (length > kMaxFieldBytes) return Parse::Bad;
    if (input_.size() - at_ - 4 < length) return Parse::Incomplete;
    bytes->assign(input_, at_ + 4, length);
    at_ += 4 + length;
    return Parse::Complete;
  }

  Parse text(std::string* bytes) {
    std::string utf8;
    const Parse read = data(&utf8);
    if (read != Parse::Complete) return read;
    return fromUtf8(utf8, bytes) ? Parse::Complete : Parse::Bad;
  }

  std::size_t consumed() const { return at_; }

 private:
  const std::string& input_;
  std::size_t at_ = 0;
};

}  // namespace

std::string connectMessage(const std::string& topic) {
  return static_cast<char>(kConnect) + field(toUtf8(topic));
}

std::string requestMessage(const std::string& item) {
  return static_cast<char>(kRequest) + field(toUtf8(item)) + static_cast<char>(kTextFormat);
}

std::string disconnectMessage() {
  return std::string(1, static_cast<char>(kDisconnect));
}

std::string replyMessage(const std::string& reply) {
  return static_cast<char>(kRequestReply) + field(reply);
}

std::string failMessage() {
  return std::string(1, static_cast<char>(kFail));
}

Parse readClientMessage(const std::string& input, ClientMessage* message, std::size_t* consumed) {
  Cursor cursor(input);
  unsigned char code = 0;
  Parse read = cursor.byte(&code);
  if (read != Parse::Complete) return read;
  message->text.clear();
  switch (code) {
    case kConnect:
      read = cursor.text(&message->text);
      break;
    case kRequest: {
      read = cursor.text(&message->text);
      unsigned char format = 0;
      if (read == Parse::Complete) read = cursor.byte(&format);
      break;
    }
    case kDisconnect:
      break;
    default:
      return Parse::Bad;
  }
  if (read != Parse::Complete) return read;
  message->code = static_cast<Code>(code);
  *consumed = cursor.consumed();
  return Parse::Complete;
}

Parse readReply(const std::string& input, bool* ok, std::string* reply) {
  Cursor cursor(input);
  unsigned char code = 0;
  Parse read = cursor.byte(&code);
  if (read != Parse::Complete) return read;
  if (code == kFail) {
    *ok = false;
    return Parse::Complete;
  }
  if (code != kRequestReply) return Parse::Bad;
  read = cursor.data(reply);
  if (read == Parse::Complete) *ok = true;
  return read;
}

}  // namespace ipc_wire
