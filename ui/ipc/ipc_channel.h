// Conversations between local processes over wx's IPC classes on per-user
// Unix-domain sockets: a server that answers requests by topic and item, and
// a one-shot client request.
//
// Topics, items and replies are byte strings; they cross the socket byte for
// byte (topics and items as wx strings of the same bytes, replies as raw
// data), so a path in any code page arrives unchanged.
//
// wx's sockets belong to the main thread: create, use and destroy an
// IpcServer there, and make client requests there. A server answers only
// while that thread runs a wx event loop. A client request returns with the
// reply or after its time-out; while it waits inside a running event loop,
// wx goes on dispatching events (a caller that must not be re-entered
// disables its windows meanwhile, e.g. with wxWindowDisabler). Opening a
// conversation waits for the server's acknowledgement with wx's own
// time-out, which matters only for a server that accepts and then hangs.
#ifndef TESSAVO_UI_IPC_IPC_CHANNEL_H_
#define TESSAVO_UI_IPC_IPC_CHANNEL_H_

#include <functional>
#include <memory>
#include <string>

class wxConnectionBase;

// The socket of the local service `name`: a file in the per-user private
// temporary folder ($XDG_RUNTIME_DIR, or tessavo-<uid> under the temporary
// folder), so that no other user can answer in our place.
std::string ipcSocketPath(const std::string& name);

class IpcServer {
 public:
  struct Handlers {
    // Whether a conversation on `topic` is accepted; null accepts every topic.
    std::function<bool(const std::string& topic)> accept;
    // Answers one request; false sends a failure. Null fails every request.
    std::function<bool(const std::string& topic, const std::string& item, std::string* reply)>
        request;
    // Told when a conversation on `topic` has ended. May be null.
    std::function<void(const std::string& topic)> disconnected;
  };

  explicit IpcServer(Handlers handlers);
  // Stops listening and removes the socket file; conversations still open
  // are ended by their peers.
  ~IpcServer();
  IpcServer(const IpcServer&) = delete;
  IpcServer& operator=(const IpcServer&) = delete;

  // Listens on `socketPath`, replacing a stale socket file of that name; the
  // file is made readable by this user only. False on failure.
  bool listen(const std::string& socketPath);

 private:
  class Server;
  std::shared_ptr<Handlers> handlers_;
  std::unique_ptr<Server> server_;
};

// An open client conversation. Every request waits at most its time-out.
class IpcConversation {
 public:
  // Connects to the server on `socketPath` for `topic`; check isOpen().
  IpcConversation(const std::string& socketPath, const std::string& topic);
  // Disconnects.
  ~IpcConversation();
  IpcConversation(const IpcConversation&) = delete;
  IpcConversation& operator=(const IpcConversation&) = delete;

  bool isOpen() const { return connection_ != nullptr; }

  // One request for `item`; on success `reply` holds the reply's bytes.
  bool request(const std::string& item, int timeoutMs, std::string* reply);

 private:
  wxConnectionBase* connection_ = nullptr;  // owned
};

// Connects, makes one request and disconnects.
bool ipcRequest(const std::string& socketPath, const std::string& topic, const std::string& item,
                int timeoutMs, std::string* reply);

#endif  // TESSAVO_UI_IPC_IPC_CHANNEL_H_
