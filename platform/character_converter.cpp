#include "platform/character_converter.h"

#include <iconv.h>

namespace platform {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

}  // namespace

CharacterConverter::CharacterConverter(const char* to, const char* from)
    : iconv_(::iconv_open(to, from)) {}

CharacterConverter::~CharacterConverter() {
  if (isAvailable()) ::iconv_close(static_cast<iconv_t>(iconv_));
}

bool CharacterConverter::isAvailable() const {
  return static_cast<iconv_t>(iconv_) != kNoConverter;
}

bool CharacterConverter::convert(const char* text, std::size_t size, std::string* out) {
  if (!isAvailable()) return false;
  auto converter = static_cast<iconv_t>(iconv_);
  std::string converted(size * 4 + 8, '\0');
  char* in = const_cast<char*>(text);
  std::size_t inLeft = size;
  char* outPointer = &converted[0];
  std::size_t outLeft = converted.size();
  ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (::iconv(converter, &in, &inLeft, &outPointer, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0 ||
      ::iconv(converter, nullptr, nullptr, &outPointer, &outLeft) == static_cast<std::size_t>(-1)) {
    return false;
  }
  out->append(converted.data(), converted.size() - outLeft);
  return true;
}

}  // namespace platform
