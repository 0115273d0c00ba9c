// Selects a code page for the lifetime of a test scope and restores the
// previous one afterwards.
#ifndef TESSAVO_TESTS_CODE_PAGE_SCOPE_H_
#define TESSAVO_TESTS_CODE_PAGE_SCOPE_H_

#include "platform/code_page.h"

class CodePageScope {
 public:
  explicit CodePageScope(platform::CodePage codePage) : previous_(platform::currentCodePage()) {
    platform::setCodePage(codePage);
  }
  ~CodePageScope() { platform::setCodePage(previous_); }
  CodePageScope(const CodePageScope&) = delete;
  CodePageScope& operator=(const CodePageScope&) = delete;

 private:
  platform::CodePage previous_;
};

#endif  // TESSAVO_TESTS_CODE_PAGE_SCOPE_H_
