// The one crossing between the program's byte strings and wx's strings.
//
// Every text of the system is a byte string in the program's code page
// (UTF-8 here, CP932 when selected); wx wants wxString. toWx() decodes
// character by character, and a byte that does not form a valid character
// becomes the private-use code point U+F700 + byte, so fromWx(toWx(s)) == s
// for every byte string s. For that to hold, text that would itself decode to
// U+F700..U+F7FF is escaped byte by byte as well. Such bytes show as an
// unknown glyph on screen, which is the honest rendering of a broken name.
//
// Pure functions; any thread.
#ifndef TESSAVO_UI_WX_TEXT_H_
#define TESSAVO_UI_WX_TEXT_H_

#include <wx/string.h>

#include <string>

wxString toWx(const std::string& bytes);
std::string fromWx(const wxString& text);

#endif  // TESSAVO_UI_WX_TEXT_H_
