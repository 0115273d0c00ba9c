#include "engine/resource_failure.h"

#include <new>

#include "platform/local_text.h"

std::string resourceFailureText(const std::exception& failure) {
  if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
    return platform::localText("メモリが足りない");
  }
  return platform::localText("検査を続けられない: ") + failure.what();
}
