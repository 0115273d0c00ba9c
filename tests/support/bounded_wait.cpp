#include "tests/support/bounded_wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace test_support {

void failWait(std::chrono::milliseconds bound, const std::string& what) {
  ADD_FAILURE() << "waited " << bound.count() << " ms in vain for " << what;
}

bool waitUntil(const std::function<bool()>& done, const std::string& what,
               std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  std::chrono::microseconds pause{100};
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(pause);
    pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(10));
  }
  failWait(bound, what);
  return false;
}

}  // namespace test_support
