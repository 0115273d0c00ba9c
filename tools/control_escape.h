// Makes a text safe to print as one line of a terminal or a log: every
// control character (bytes 0x00 to 0x1F and 0x7F) becomes a C-style escape,
// "\n", "\r", "\t" for the three common ones and "\xHH" (two lower-case hex
// digits) for the rest. A file name holding a line break then cannot start
// a line of its own that names another file, and an ESC cannot drive the
// terminal. Every other byte, "\" included, stays as it is, so ordinary
// texts and paths print unchanged.
//
// A pure function; any thread.
#ifndef TESSAVO_TOOLS_CONTROL_ESCAPE_H_
#define TESSAVO_TOOLS_CONTROL_ESCAPE_H_

#include <string>
#include <string_view>

std::string escapeControlCharacters(std::string_view text);

#endif  // TESSAVO_TOOLS_CONTROL_ESCAPE_H_
