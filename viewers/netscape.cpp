#include "viewers/netscape.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Declared in this order so that the killer, destroyed first at exit, still
// finds the factory intact.
Netscape::ClientFactory clientFactory;
Netscape::Killer killer;

std::string windowItem(std::uint32_t window) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(window));
  return text;
}

bool isWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one field of a window-information reply from `p`, returns where the
// next field starts.
const char* readField(const char* p, const char* end, std::string* field) {
  field->clear();
  while (p < end && isWhiteSpace(*p)) ++p;
  if (p < end && (*p == '"' || *p == '\'')) {
    const char quote = *p++;
    const char* close = p;
    while (close < end && *close != quote) ++close;
    field->assign(p, close);
    p = close < end ? close + 1 : close;
  } else {
    const char* comma = p;
    while (comma < end && *comma != ',') ++comma;
    field->assign(p, comma);
    p = comma;
  }
  while (p < end && isWhiteSpace(*p)) ++p;
  if (p < end && *p == ',') ++p;
  return p;
}

}  // namespace

DdeString::DdeString(DdeClient* client, const std::string& text)
    : client_(client), handle_(client != nullptr ? client->createStringHandle(text) : 0) {}

DdeString::~DdeString() {
  if (client_ != nullptr && handle_ != 0) client_->freeStringHandle(handle_);
}

Netscape::Killer::~Killer() {
  delete instance;
  instance = nullptr;
}

void Netscape::setClientFactory(ClientFactory factory) {
  clientFactory = std::move(factory);
}

Netscape* Netscape::instance() {
  if (killer.instance == nullptr) {
    killer.instance = new Netscape(clientFactory ? clientFactory() : nullptr);
  }
  return killer.instance;
}

Netscape::Netscape(std::unique_ptr<DdeClient> client) : client_(std::move(client)) {}

Netscape::~Netscape() {
  disconnect();
}

bool Netscape::connect(const std::string& topic) {
  disconnect();
  if (client_ == nullptr || kind_ == kNone) return false;
  {
    DdeString service(client_.get(), kind_ == kNetscape ? "Netscape" : "IExplore");
    DdeString topicName(client_.get(), topic);
    if (service.handle() == 0 || topicName.handle() == 0) return false;
    conversation_ = client_->connect(service.handle(), topicName.handle());
  }
  return conversation_ != 0;
}

void Netscape::disconnect() {
  if (conversation_ == 0) return;
  client_->disconnect(conversation_);
  conversation_ = 0;
}

bool Netscape::requestOnce(const std::string& topic, const std::string& item, std::string* reply) {
  if (busy_) return false;
  busy_ = true;
  if (!connect(topic)) {
    busy_ = false;
    return false;
  }
  bool replied = false;
  {
    DdeString itemName(client_.get(), item);
    if (itemName.handle() != 0) {
      replied = client_->request(conversation_, itemName.handle(), kTimeoutMs, reply);
    }
  }
  disconnect();
  busy_ = false;
  return replied;
}

bool Netscape::openUrl(std::uint32_t window, const std::string& url) {
  // The reply names the window the browser used; nothing depends on it.
  std::string reply;
  return requestOnce("WWW_OpenURL", url + ",," + windowItem(window) + ",0x4", &reply);
}

bool Netscape::getWindowInfo(std::uint32_t window, std::string* url, std::string* title,
                             std::string* third) {
  std::string reply;
  if (!requestOnce("WWW_GetWindowInfo", windowItem(window), &reply)) return false;
  parseWindowInfo(reply, url, title, third);
  return true;
}

int Netscape::listWindows(std::uint32_t* windows, int capacity) {
  std::string reply;
  if (!requestOnce("WWW_ListWindows", "WWW_ListWindows", &reply)) return 0;
  int stored = 0;
  const std::size_t values = reply.size() / sizeof(std::uint32_t);
  for (std::size_t i = 0; i < values && static_cast<long>(i) < capacity; ++i) {
    std::uint32_t window;
    std::memcpy(&window, reply.data() + i * sizeof window, sizeof window);
    if (window == 0) break;
    if (window == 0xFFFFFFFFu) continue;
    windows[stored++] = window;
  }
  return stored;
}

void parseWindowInfo(const std::string& reply, std::string* url, std::string* title,
                     std::string* third) {
  const char* p = reply.data();
  const char* const end = p + std::strlen(reply.c_str());
  p = readField(p, end, url);
  p = readField(p, end, title);
  readField(p, end, third);
}
