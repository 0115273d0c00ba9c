#include "files/target_order.h"

#include <algorithm>

namespace {

unsigned char foldedByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

std::string targetSortKey(const std::string& location) {
  std::string key(location.size(), '\0');
  std::transform(location.begin(), location.end(), key.begin(),
                 [](char c) { return static_cast<char>(foldedByte(c)); });
  return key;
}

bool targetOrderLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return foldedByte(x) < foldedByte(y); });
}
