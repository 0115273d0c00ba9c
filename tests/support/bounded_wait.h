// Waits in tests that end: for a condition polled, or for a condition
// variable's signal, each with a bound after which the test fails with a
// message naming what it waited for. No wait in a test goes without one; a
// hang then shows as a failure with its reason, well before CTest's time-out
// kills the whole program without one.
//
// Free functions; any thread. The condition is evaluated on the calling
// thread (under the caller's lock for the signalled form).
#ifndef TESSAVO_TESTS_SUPPORT_BOUNDED_WAIT_H_
#define TESSAVO_TESTS_SUPPORT_BOUNDED_WAIT_H_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace test_support {

// Long enough for a loaded machine under a sanitizer, well short of the
// time-out CTest gives each test.
constexpr std::chrono::milliseconds kWaitBound{30000};

// Reports a wait that ran out: "waited N ms in vain for <what>".
void failWait(std::chrono::milliseconds bound, const std::string& what);

// Polls `done` (at first often, then every 10 ms) until it holds or `bound`
// has passed; whether it held. A wait that ran out fails the test.
bool waitUntil(const std::function<bool()>& done, const std::string& what,
               std::chrono::milliseconds bound = kWaitBound);

// Waits on `changed` with `lock` held until `done` holds or `bound` has
// passed; whether it held. A wait that ran out fails the test.
template <class Predicate>
bool waitFor(std::condition_variable& changed, std::unique_lock<std::mutex>& lock, Predicate done,
             const std::string& what, std::chrono::milliseconds bound = kWaitBound) {
  if (changed.wait_for(lock, bound, done)) return true;
  failWait(bound, what);
  return false;
}

}  // namespace test_support

#endif  // TESSAVO_TESTS_SUPPORT_BOUNDED_WAIT_H_
