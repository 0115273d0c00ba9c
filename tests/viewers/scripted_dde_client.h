// A DDE client for tests: answers requests from a table, records every call,
// and counts the handles and conversations still open.
#ifndef TESSAVO_TESTS_VIEWERS_SCRIPTED_DDE_CLIENT_H_
#define TESSAVO_TESTS_VIEWERS_SCRIPTED_DDE_CLIENT_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "viewers/dde_client.h"

// The reply bytes of a window listing: the values in native byte order.
inline std::string listingReply(const std::vector<std::uint32_t>& values) {
  return std::string(reinterpret_cast<const char*>(values.data()),
                     values.size() * sizeof(std::uint32_t));
}

// A text reply as a browser sends it, with its NUL.
inline std::string textReply(const std::string& text) {
  return text + std::string(1, '\0');
}

class ScriptedDdeClient : public DdeClient {
 public:
  // Services that accept a conversation; every topic is accepted.
  std::vector<std::string> services = {"Netscape", "IExplore"};
  // (topic, item) -> reply. A request without an entry fails.
  std::map<std::pair<std::string, std::string>, std::string> replies;
  // Calls in order: "connect <service> <topic>", "request <item> <timeout>",
  // "disconnect".
  std::vector<std::string> calls;
  // Called once, inside the next request, as a client that dispatches
  // events while it waits would run other commands there.
  std::function<void()> duringRequest;

  int openHandles() const { return static_cast<int>(strings_.size()); }
  int openConversations() const { return static_cast<int>(topics_.size()); }
  // The items of the requests made, in order.
  std::vector<std::string> requestedItems() const { return items_; }

  StringHandle createStringHandle(const std::string& text) override {
    strings_[++lastHandle_] = text;
    return lastHandle_;
  }
  void freeStringHandle(StringHandle handle) override { strings_.erase(handle); }

  Conversation connect(StringHandle service, StringHandle topic) override {
    calls.push_back("connect " + strings_.at(service) + " " + strings_.at(topic));
    bool known = false;
    for (const std::string& name : services) known = known || name == strings_.at(service);
    if (!known) return 0;
    topics_[++lastConversation_] = strings_.at(topic);
    return lastConversation_;
  }
  void disconnect(Conversation conversation) override {
    calls.push_back("disconnect");
    topics_.erase(conversation);
  }
  bool request(Conversation conversation, StringHandle item, int timeoutMs,
               std::string* reply) override {
    const std::string& itemText = strings_.at(item);
    calls.push_back("request " + itemText + " " + std::to_string(timeoutMs));
    items_.push_back(itemText);
    if (duringRequest) {
      const std::function<void()> hook = std::move(duringRequest);
      duringRequest = nullptr;
      hook();
    }
    const auto found = replies.find({topics_.at(conversation), itemText});
    if (found == replies.end()) return false;
    *reply = found->second;
    return true;
  }

 private:
  std::map<StringHandle, std::string> strings_;
  std::map<Conversation, std::string> topics_;
  std::vector<std::string> items_;
  StringHandle lastHandle_ = 0;
  Conversation lastConversation_ = 0;
};

#endif  // TESSAVO_TESTS_VIEWERS_SCRIPTED_DDE_CLIENT_H_
