// Conversion between raw text and %-escaped text for URIs.
//
// escape() encodes every byte that may not stand in a URI as it is: control
// characters, space, DEL, bytes 0x80 and above (Shift_JIS text), a "%" that
// does not start an escape, and the twelve delimiters and unwise characters
// < > % " { } | \ ^ [ ] `. Existing escapes ("%7E") pass unchanged. Hex
// digits are written in lower case ("%e3"); the result is at most three
// times as long as the input.
//
// unescape() decodes an escape only when the byte it stands for is a plain,
// unreserved, printable ASCII character (0x20 to 0x7E outside the reserved
// set ; / ? : @ & = + $ , < > # % " { } | \ ^ [ ] `). Every other escape, and
// every other byte, is copied unchanged, so unescaping can never make a
// delimiter, a control character or a byte 0x80 and above appear that the
// text did not already hold as such.
//
// Both read up to the first NUL; a null pointer counts as empty text. Pure
// functions, safe on any thread.
#ifndef TESSAVO_NET_URI_ESCAPE_H_
#define TESSAVO_NET_URI_ESCAPE_H_

#include <string>

std::string escape(const char* text);
std::string escape(const std::string& text);

std::string unescape(const char* text);
std::string unescape(const std::string& text);

#endif  // TESSAVO_NET_URI_ESCAPE_H_
