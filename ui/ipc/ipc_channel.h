// Conversations between local processes on per-user Unix-domain sockets, in
// the messages of wx's IPC protocol (ui/ipc/ipc_wire.h): a server that
// answers requests by topic and item, and a client conversation.
//
// Topics, items and replies are byte strings; they cross the socket byte for
// byte, so a path in any code page arrives unchanged.
//
// Every step is bounded in time and size, whatever the peer does. The server
// reads without blocking: a peer that claims a field over the bound, sends a
// message we do not take, or does not complete a message within
// kIpcTimeoutMs of the previous one (or of connecting) is disconnected, and
// only that conversation ends; the others, and the window, go on. A client
// gives each step (connecting, sending, waiting for the answer) the time it
// was given, and reports a peer that did not answer in time.
//
// wx's sockets belong to the main thread: create, use and destroy an
// IpcServer there, and make client requests there. A server answers only
// while that thread runs a wx event loop. While a client waits inside a
// running event loop, wx goes on dispatching events (a caller that must not
// be re-entered disables its windows meanwhile, e.g. with wxWindowDisabler).
#ifndef TESSAVO_UI_IPC_IPC_CHANNEL_H_
#define TESSAVO_UI_IPC_IPC_CHANNEL_H_

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class wxSocketClient;

// The time a conversation's peer has for each message: to complete it once
// it has connected or sent the previous one (server), to accept and answer
// (client, by default).
constexpr int kIpcTimeoutMs = 5000;

// The socket of the local service `name`: a file in the per-user private
// temporary folder ($XDG_RUNTIME_DIR, or tessavo-<uid> under the temporary
// folder), so that no other user can answer in our place.
std::string ipcSocketPath(const std::string& name);

class IpcServer {
 public:
  // The handlers answer at once, without running an event loop (work that
  // may ask the user something goes after the answer, e.g. with CallAfter).
  struct Handlers {
    // Whether a conversation on `topic` is accepted; null accepts every topic.
    std::function<bool(const std::string& topic)> accept;
    // Answers one request; false (or an empty reply) sends a failure. Null
    // fails every request. Not called when the requester has already hung
    // up: it has given up waiting and does without the answer.
    std::function<bool(const std::string& topic, const std::string& item, std::string* reply)>
        request;
    // Told when an accepted conversation on `topic` has ended. May be null.
    std::function<void(const std::string& topic)> disconnected;
  };

  explicit IpcServer(Handlers handlers);
  // Stops listening, ends every open conversation and removes the socket
  // file.
  ~IpcServer();
  IpcServer(const IpcServer&) = delete;
  IpcServer& operator=(const IpcServer&) = delete;

  // Listens on `socketPath`, replacing a stale socket file of that name; the
  // file is made readable by this user only. False on failure.
  bool listen(const std::string& socketPath);

 private:
  class Server;
  Handlers handlers_;
  std::unique_ptr<Server> server_;
};

// An open client conversation.
class IpcConversation {
 public:
  // Connects to the server on `socketPath` for `topic` and waits up to
  // `timeoutMs` for it to accept; check isOpen() and timedOut().
  IpcConversation(const std::string& socketPath, const std::string& topic,
                  int timeoutMs = kIpcTimeoutMs);
  // Says goodbye (when the peer is still there) and disconnects.
  ~IpcConversation();
  IpcConversation(const IpcConversation&) = delete;
  IpcConversation& operator=(const IpcConversation&) = delete;

  bool isOpen() const { return open_; }
  // The last step failed because the peer did not take or answer it in time
  // (rather than because nobody listens, or the peer refused).
  bool timedOut() const { return timedOut_; }

  // One request for `item`, sent and answered within `timeoutMs`; on
  // success `reply` holds the reply's bytes. A conversation whose request
  // went unanswered is closed.
  bool request(const std::string& item, int timeoutMs, std::string* reply);

 private:
  using Deadline = std::chrono::steady_clock::time_point;

  bool send(const std::string& bytes, Deadline deadline);
  // Reads until `whole` says that an answer is complete (true) or that what
  // came is no answer (false, through `bad`).
  bool receive(const std::function<bool(const std::string& input, bool* bad)>& whole,
               std::string* input, Deadline deadline);
  void close();

  struct SocketDeleter {
    void operator()(wxSocketClient* socket) const;
  };
  std::unique_ptr<wxSocketClient, SocketDeleter> socket_;
  bool open_ = false;
  bool timedOut_ = false;
};

// Connects, makes one request and disconnects.
bool ipcRequest(const std::string& socketPath, const std::string& topic, const std::string& item,
                int timeoutMs, std::string* reply);

#endif  // TESSAVO_UI_IPC_IPC_CHANNEL_H_
