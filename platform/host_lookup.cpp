#include "platform/host_lookup.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/socket_headers.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kStopPollInterval(100);

// One lookup's outcome, shared by the helper thread and the waiting caller;
// whichever lets go last frees it.
struct Lookup {
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  int error = 0;
  std::vector<PeerAddress> addresses;
};

void resolve(const std::string& host, Lookup* lookup) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &list);
  std::vector<PeerAddress> addresses;
  for (const addrinfo* entry = error == 0 ? list : nullptr; entry != nullptr;
       entry = entry->ai_next) {
    PeerAddress address;
    if (entry->ai_family == AF_INET) {
      address.family = 4;
      std::memcpy(address.bytes.data(),
                  &reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr, 4);
    } else if (entry->ai_family == AF_INET6) {
      address.family = 6;
      std::memcpy(address.bytes.data(),
                  &reinterpret_cast<const sockaddr_in6*>(entry->ai_addr)->sin6_addr, 16);
    } else {
      continue;
    }
    addresses.push_back(address);
  }
  if (list != nullptr) ::freeaddrinfo(list);
  std::lock_guard<std::mutex> guard(lookup->lock);
  lookup->error = error != 0 ? error : addresses.empty() ? EAI_NONAME : 0;
  lookup->addresses = std::move(addresses);
  lookup->done = true;
  lookup->finished.notify_all();
}

}  // namespace

bool numericHostAddress(const std::string& host, PeerAddress* address) {
  if (::inet_pton(AF_INET, host.c_str(), address->bytes.data()) == 1) {
    address->family = 4;
    return true;
  }
  std::string bare = host;
  if (bare.size() >= 2 && bare.front() == '[' && bare.back() == ']') {
    bare = bare.substr(1, bare.size() - 2);
  }
  if (::inet_pton(AF_INET6, bare.c_str(), address->bytes.data()) == 1) {
    address->family = 6;
    return true;
  }
  return false;
}

WaitResult lookUpHost(const std::string& host, const WaitLimit& limit,
                      std::vector<PeerAddress>* addresses, int* error) {
  addresses->clear();
  PeerAddress numeric;
  if (numericHostAddress(host, &numeric)) {
    addresses->push_back(numeric);
    return WaitResult::Ready;
  }
  // An empty or bracketed text is no name; the resolver would take an
  // empty one for this machine.
  if (host.empty() || host.front() == '[') {
    *error = EAI_NONAME;
    return WaitResult::Failed;
  }

  auto lookup = std::make_shared<Lookup>();
  if (limit.stop == nullptr && limit.until == Clock::time_point::max()) {
    resolve(host, lookup.get());
  } else {
    std::thread([host, lookup] { resolve(host, lookup.get()); }).detach();
  }
  std::unique_lock<std::mutex> guard(lookup->lock);
  while (!lookup->done) {
    if (limit.stop != nullptr && limit.stop->load()) return WaitResult::Stopped;
    const Clock::time_point now = Clock::now();
    if (now >= limit.until) return WaitResult::TimedOut;
    lookup->finished.wait_for(guard,
                              std::min<Clock::duration>(kStopPollInterval, limit.until - now));
  }
  *error = lookup->error;
  if (lookup->error != 0) return WaitResult::Failed;
  *addresses = lookup->addresses;
  return WaitResult::Ready;
}

}  // namespace platform
