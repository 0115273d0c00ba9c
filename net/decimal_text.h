// Reading numbers the way the C library's atoi does, without its undefined
// behaviour on overflow: leading white space is skipped, one sign is taken,
// then decimal digits up to the first other byte; no digits give 0. A value
// beyond the result type's range saturates at its limit. The one number
// reader of the program: the URI port, the HTTP status code and content
// length, the line numbers of the validator's messages, numeric settings.
#ifndef TESSAVO_NET_DECIMAL_TEXT_H_
#define TESSAVO_NET_DECIMAL_TEXT_H_

#include <cstdint>

namespace net {

std::int64_t leadingDecimal64(const char* text);
int leadingDecimal(const char* text);

}  // namespace net

#endif  // TESSAVO_NET_DECIMAL_TEXT_H_
