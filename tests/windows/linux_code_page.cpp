// The tests written with the Linux build expect the program's code page to
// start as UTF-8, as it does there; on Windows it starts as the system's
// ANSI code page (932 under the Japanese locale). Their programs link this
// file and start from UTF-8, so they test what they test on Linux; their
// CP932 cases select CP932 themselves and then run on the system's own
// lead-byte table and conversions. The Win32 tests of this folder start from
// the system's code page, as the programs do.
#include "platform/code_page.h"

namespace {

[[maybe_unused]] const bool kStartsAsOnLinux = [] {
  platform::setCodePage(platform::CodePage::Utf8);
  return true;
}();

}  // namespace
