#include "files/target_order.h"

#include "platform/ascii_case.h"

std::string targetSortKey(const std::string& location) {
  return platform::toLowerAscii(location);
}

bool targetOrderLess(const std::string& a, const std::string& b) {
  return platform::lessIgnoringAsciiCase(a, b);
}
