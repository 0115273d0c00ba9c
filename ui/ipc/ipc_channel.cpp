#include "ui/ipc/ipc_channel.h"

#include <wx/sckipc.h>

#include <algorithm>
#include <utility>

#include "platform/temp_files.h"

namespace {

// Every byte becomes the character of the same value and back, so any byte
// string survives wx's string handling.
wxString toWire(const std::string& bytes) {
  return wxString::From8BitData(bytes.data(), bytes.size());
}

std::string fromWire(const wxString& text) {
  const wxScopedCharBuffer bytes = text.To8BitData();
  return std::string(bytes.data(), bytes.length());
}

// The client end of a conversation, whose waits for a reply end after a
// time-out (wx's sockets count it in whole seconds). A blocking socket would
// keep the events away, but wx then waits for data without any limit.
//
// wx flushes what is left in its output buffer into the socket when the
// connection goes, and crashes doing so when an earlier write failed because
// the peer had gone. So nothing is written once the peer has closed its end:
// neither a request nor the closing message (the peer has nobody to tell).
class ClientConnection : public wxTCPConnection {
 public:
  ~ClientConnection() override {
    if (peerGone()) SetConnected(false);  // wx's destructor then writes nothing
  }

  void limitWaits(int timeoutMs) {
    if (m_sock != nullptr) m_sock->SetTimeout(std::max(1, (timeoutMs + 999) / 1000));
  }

  // True when the socket is closed or readable between requests, which
  // means the peer closed it (or sent something nobody asked for).
  bool peerGone() { return m_sock == nullptr || !m_sock->IsConnected() || m_sock->IsData(); }

  // wx calls this from its event handling when the peer closes the socket or
  // says goodbye, and by default deletes the connection; but the
  // IpcConversation owns it and deletes it itself.
  bool OnDisconnect() override { return true; }
};

class Client : public wxTCPClient {
 public:
  wxConnectionBase* OnMakeConnection() override { return new ClientConnection; }
};

// The server end of one conversation; wx deletes it when the peer
// disconnects.
class ServerConnection : public wxTCPConnection {
 public:
  explicit ServerConnection(std::shared_ptr<IpcServer::Handlers> handlers)
      : handlers_(std::move(handlers)) {}

  const void* OnRequest(const wxString& topic, const wxString& item, size_t* size,
                        wxIPCFormat) override {
    reply_.clear();
    if (!handlers_->request || !handlers_->request(fromWire(topic), fromWire(item), &reply_)) {
      return nullptr;
    }
    // wx cannot carry an empty reply; it would reach the client as garbage.
    if (reply_.empty()) return nullptr;
    *size = reply_.size();
    return reply_.data();
  }

  bool OnDisconnect() override {
    if (handlers_->disconnected) handlers_->disconnected(topic_);
    return wxTCPConnection::OnDisconnect();  // deletes this
  }

  void setTopic(std::string topic) { topic_ = std::move(topic); }

 private:
  std::shared_ptr<IpcServer::Handlers> handlers_;
  std::string topic_;
  std::string reply_;  // must outlive OnRequest: wx sends it afterwards
};

}  // namespace

class IpcServer::Server : public wxTCPServer {
 public:
  explicit Server(std::shared_ptr<Handlers> handlers) : handlers_(std::move(handlers)) {}

  wxConnectionBase* OnAcceptConnection(const wxString& topic) override {
    const std::string topicBytes = fromWire(topic);
    if (handlers_->accept && !handlers_->accept(topicBytes)) return nullptr;
    auto* connection = new ServerConnection(handlers_);
    connection->setTopic(topicBytes);
    return connection;
  }

 private:
  std::shared_ptr<Handlers> handlers_;
};

std::string ipcSocketPath(const std::string& name) {
  return platform::tempFolder() + name;
}

IpcServer::IpcServer(Handlers handlers)
    : handlers_(std::make_shared<Handlers>(std::move(handlers))) {}

IpcServer::~IpcServer() = default;

bool IpcServer::listen(const std::string& socketPath) {
  auto server = std::make_unique<Server>(handlers_);
  // wx takes a name with "/" for the path of a Unix-domain socket.
  if (socketPath.find('/') == std::string::npos || !server->Create(toWire(socketPath))) {
    return false;
  }
  server_ = std::move(server);
  return true;
}

IpcConversation::IpcConversation(const std::string& socketPath, const std::string& topic) {
  if (socketPath.find('/') == std::string::npos) return;  // never a TCP port
  Client client;
  connection_ = client.MakeConnection("localhost", toWire(socketPath), toWire(topic));
}

IpcConversation::~IpcConversation() {
  delete connection_;
}

bool IpcConversation::request(const std::string& item, int timeoutMs, std::string* reply) {
  if (connection_ == nullptr) return false;
  auto* connection = static_cast<ClientConnection*>(connection_);
  if (connection->peerGone()) return false;
  connection->limitWaits(timeoutMs);
  size_t size = 0;
  const void* data = connection_->Request(toWire(item), &size, wxIPC_TEXT);
  if (data == nullptr) return false;
  reply->assign(static_cast<const char*>(data), size);
  return true;
}

bool ipcRequest(const std::string& socketPath, const std::string& topic, const std::string& item,
                int timeoutMs, std::string* reply) {
  IpcConversation conversation(socketPath, topic);
  return conversation.request(item, timeoutMs, reply);
}
