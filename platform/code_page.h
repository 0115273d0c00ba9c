// The program's multibyte code page, and the two character-stepping services
// that path and command-line scans use so that the second byte of a
// double-byte character is never taken for a separator or a "%".
//
// On Linux the code page is UTF-8: a "lead byte" is one that starts a
// multibyte UTF-8 sequence and a character is the whole sequence. CP932
// (Shift_JIS) can be selected, which is what the program's texts were
// written for and what the DBCS-sensitive tests run under. The selection is
// process-wide, like the system code page it stands for; set it before any
// other thread starts. On Windows the program starts in the system's ANSI
// code page (GetACP: CP932 on a Japanese system), and the CP932 lead bytes
// are the system's own (IsDBCSLeadByteEx).
#ifndef TESSAVO_PLATFORM_CODE_PAGE_H_
#define TESSAVO_PLATFORM_CODE_PAGE_H_

namespace platform {

enum class CodePage { Utf8, Cp932 };

void setCodePage(CodePage codePage);
CodePage currentCodePage();

// True if `byte` starts a multibyte character in the current code page:
// 0x81-0x9F and 0xE0-0xFC under CP932, 0xC2-0xF4 under UTF-8.
bool IsDBCSLeadByte(unsigned char byte);

// The position of the character after the one at `text`. Never steps past
// the terminating NUL: at the terminator it returns `text` itself, and a lead
// byte whose sequence is cut off by the terminator or by a byte that cannot
// continue it counts as a character of one byte.
const char* CharNextA(const char* text);
char* CharNextA(char* text);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_CODE_PAGE_H_
