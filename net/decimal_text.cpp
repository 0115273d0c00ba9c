#include "net/decimal_text.h"

#include <limits>

namespace net {

std::int64_t leadingDecimal64(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const int digit = *p - '0';
    if (value > (kMax - digit) / 10) {
      value = kMax;
      while (*p >= '0' && *p <= '9') ++p;
      break;
    }
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

int leadingDecimal(const char* text) {
  const std::int64_t value = leadingDecimal64(text);
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < -std::numeric_limits<int>::max()) return -std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

}  // namespace net
