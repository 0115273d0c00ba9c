// The DDE client the program uses on this platform: each service is a local
// IPC server on the per-user socket "tessavo-dde-<service>" (see
// ipc_channel.h), a conversation is one IPC connection on the topic, and a
// request is an IPC request for the item in the text format.
//
// No browser offers such a socket, so on a normal desktop every connection
// fails and the browser command falls back to the desktop's "open", as it
// would for a browser that is not running; a browser (or a test) that
// listens there is driven exactly as over DDE.
//
// Main thread only, like every wx socket.
#ifndef TESSAVO_UI_IPC_WX_DDE_CLIENT_H_
#define TESSAVO_UI_IPC_WX_DDE_CLIENT_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "ui/ipc/ipc_channel.h"
#include "viewers/dde_client.h"

class WxDdeClient : public DdeClient {
 public:
  // `socketFolder` holds the services' sockets and ends with "/"; empty
  // means the per-user folder of ipcSocketPath().
  explicit WxDdeClient(std::string socketFolder = std::string());
  ~WxDdeClient() override;

  // The socket a service listens on.
  std::string socketPathFor(const std::string& service) const;

  StringHandle createStringHandle(const std::string& text) override;
  void freeStringHandle(StringHandle handle) override;
  Conversation connect(StringHandle service, StringHandle topic) override;
  void disconnect(Conversation conversation) override;
  bool request(Conversation conversation, StringHandle item, int timeoutMs,
               std::string* reply) override;

 private:
  std::string socketFolder_;
  std::map<StringHandle, std::string> strings_;
  std::map<Conversation, std::unique_ptr<IpcConversation>> conversations_;
  std::uint32_t lastHandle_ = 0;
  std::uint32_t lastConversation_ = 0;
};

// Makes Netscape::instance() use a WxDdeClient on the per-user folder. Call
// once at start-up, before the first Netscape::instance().
void installWxDdeClient();

#endif  // TESSAVO_UI_IPC_WX_DDE_CLIENT_H_
