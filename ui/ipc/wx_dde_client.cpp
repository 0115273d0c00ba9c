#include "ui/ipc/wx_dde_client.h"

#include <utility>

#include "viewers/netscape.h"

namespace {

constexpr const char* kSocketPrefix = "tessavo-dde-";

// The next non-zero number after `last`.
std::uint32_t nextId(std::uint32_t* last) {
  if (++*last == 0) ++*last;
  return *last;
}

}  // namespace

WxDdeClient::WxDdeClient(std::string socketFolder) : socketFolder_(std::move(socketFolder)) {}

WxDdeClient::~WxDdeClient() = default;

std::string WxDdeClient::socketPathFor(const std::string& service) const {
  if (socketFolder_.empty()) return ipcSocketPath(kSocketPrefix + service);
  return socketFolder_ + kSocketPrefix + service;
}

DdeClient::StringHandle WxDdeClient::createStringHandle(const std::string& text) {
  const StringHandle handle = nextId(&lastHandle_);
  strings_[handle] = text;
  return handle;
}

void WxDdeClient::freeStringHandle(StringHandle handle) {
  strings_.erase(handle);
}

DdeClient::Conversation WxDdeClient::connect(StringHandle service, StringHandle topic) {
  const auto serviceName = strings_.find(service);
  const auto topicName = strings_.find(topic);
  if (serviceName == strings_.end() || topicName == strings_.end()) return 0;
  // A service name is a file name here; it may not lead out of the folder.
  if (serviceName->second.empty() || serviceName->second.find('/') != std::string::npos) return 0;
  auto conversation =
      std::make_unique<IpcConversation>(socketPathFor(serviceName->second), topicName->second);
  if (!conversation->isOpen()) return 0;
  const Conversation id = nextId(&lastConversation_);
  conversations_[id] = std::move(conversation);
  return id;
}

void WxDdeClient::disconnect(Conversation conversation) {
  conversations_.erase(conversation);
}

bool WxDdeClient::request(Conversation conversation, StringHandle item, int timeoutMs,
                          std::string* reply) {
  const auto found = conversations_.find(conversation);
  const auto itemName = strings_.find(item);
  if (found == conversations_.end() || itemName == strings_.end()) return false;
  return found->second->request(itemName->second, timeoutMs, reply);
}

void installWxDdeClient() {
  Netscape::setClientFactory([] { return std::make_unique<WxDdeClient>(); });
}
