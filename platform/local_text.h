// The program's own texts in the program's code page.
//
// Texts are written in the source as UTF-8 literals; under the UTF-8 code
// page they pass unchanged, under CP932 they are converted, so every line the
// program writes into a pane is in one code page with the paths and the
// validator's messages around it. Safe to call from any thread.
#ifndef TESSAVO_PLATFORM_LOCAL_TEXT_H_
#define TESSAVO_PLATFORM_LOCAL_TEXT_H_

#include <string>

namespace platform {

std::string localText(const std::string& utf8);

}  // namespace platform

#endif  // TESSAVO_PLATFORM_LOCAL_TEXT_H_
