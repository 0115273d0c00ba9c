#include "ui/ipc/ipc_channel.h"

#include <wx/sckaddr.h>
#include <wx/socket.h>
#include <wx/timer.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/temp_files.h"
#include "ui/ipc/ipc_wire.h"

namespace {

using Clock = std::chrono::steady_clock;
using ipc_wire::Parse;

// Conversations one server keeps open at once; a further peer is
// disconnected at once, so that a flood of idle connections costs nothing
// but their time-out.
constexpr std::size_t kMaxConversations = 16;
// What one read event may take from a peer before the others get a turn: a
// whole message of the largest size, and some.
constexpr std::size_t kReadPerEvent = 2 * ipc_wire::kMaxFieldBytes;
constexpr int kSweepMs = 250;

enum { kListenerId = 1, kConversationId };

// The socket file's name as wx hands it to the system: the path's own bytes.
wxString socketName(const std::string& path) {
  return wxString(path.data(), *wxConvFileName, path.size());
}

long millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return std::max<long>(0, static_cast<long>(left.count()));
}

}  // namespace

std::string ipcSocketPath(const std::string& name) {
  return platform::tempFolder() + name;
}

// ---------------------------------------------------------------- server

class IpcServer::Server : public wxEvtHandler {
 public:
  Server(const Handlers& handlers, wxSocketServer* listener, std::string path)
      : handlers_(handlers), listener_(listener), path_(std::move(path)), sweep_(this) {
    listener_->SetEventHandler(*this, kListenerId);
    listener_->SetNotify(wxSOCKET_CONNECTION_FLAG);
    listener_->Notify(true);
    Bind(wxEVT_SOCKET, &Server::onListener, this, kListenerId);
    Bind(wxEVT_SOCKET, &Server::onConversation, this, kConversationId);
    Bind(wxEVT_TIMER, &Server::onSweep, this);
  }

  ~Server() override {
    sweep_.Stop();
    for (auto& [socket, conversation] : conversations_) {
      socket->Notify(false);
      socket->Destroy();
    }
    listener_->Notify(false);
    listener_->Destroy();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

 private:
  struct Conversation {
    std::string input;  // received, not yet a whole message
    std::string topic;
    bool accepted = false;
    Clock::time_point deadline;
  };

  void onListener(wxSocketEvent& event) {
    if (event.GetSocketEvent() != wxSOCKET_CONNECTION) return;
    wxSocketBase* socket = listener_->Accept(false);
    if (socket == nullptr) return;
    if (conversations_.size() >= kMaxConversations) {
      socket->Destroy();
      return;
    }
    socket->SetFlags(wxSOCKET_NOWAIT);
    socket->SetEventHandler(*this, kConversationId);
    socket->SetNotify(wxSOCKET_INPUT_FLAG | wxSOCKET_LOST_FLAG);
    socket->Notify(true);
    conversations_[socket].deadline = Clock::now() + std::chrono::milliseconds(kIpcTimeoutMs);
    if (!sweep_.IsRunning()) sweep_.Start(kSweepMs);
  }

  void onConversation(wxSocketEvent& event) {
    wxSocketBase* socket = event.GetSocket();
    const auto found = conversations_.find(socket);
    if (found == conversations_.end()) return;  // already ended
    take(socket, found->second);
  }

  // Reads what the peer has sent, answers every whole message and ends the
  // conversation when the peer is gone or sent what we do not take.
  void take(wxSocketBase* socket, Conversation& conversation) {
    bool peerGone = false;
    std::size_t taken = 0;
    char chunk[4096];
    while (taken < kReadPerEvent) {
      socket->Read(chunk, sizeof chunk);
      const std::size_t count = socket->LastReadCount();
      if (count == 0) {
        peerGone = socket->IsClosed() || !socket->IsConnected();
        break;
      }
      conversation.input.append(chunk, count);
      taken += count;
    }
    for (;;) {
      ipc_wire::ClientMessage message;
      std::size_t used = 0;
      const Parse parse = ipc_wire::readClientMessage(conversation.input, &message, &used);
      if (parse == Parse::Incomplete) break;
      if (parse == Parse::Bad || !answer(socket, conversation, message, peerGone)) {
        end(socket);
        return;
      }
      conversation.input.erase(0, used);
      conversation.deadline = Clock::now() + std::chrono::milliseconds(kIpcTimeoutMs);
    }
    if (peerGone) end(socket);
  }

  // False when the conversation is to end.
  bool answer(wxSocketBase* socket, Conversation& conversation,
              const ipc_wire::ClientMessage& message, bool peerGone) {
    if (!conversation.accepted) {
      if (message.code != ipc_wire::kConnect) return false;
      if (handlers_.accept && !handlers_.accept(message.text)) {
        send(socket, ipc_wire::failMessage());
        return false;
      }
      conversation.accepted = true;
      conversation.topic = message.text;
      return send(socket, std::string(1, static_cast<char>(ipc_wire::kConnect)));
    }
    if (message.code != ipc_wire::kRequest) return false;  // goodbye, or a second opening
    // A requester that has hung up gave up waiting and went its own way.
    if (peerGone) return false;
    std::string reply;
    if (!handlers_.request || !handlers_.request(conversation.topic, message.text, &reply) ||
        reply.empty()) {
      return send(socket, ipc_wire::failMessage());
    }
    return send(socket, ipc_wire::replyMessage(reply));
  }

  // Answers are small and the peer has just asked for one, so they fit in
  // the socket's buffer; a peer that does not take them is dropped.
  static bool send(wxSocketBase* socket, const std::string& bytes) {
    socket->Write(bytes.data(), static_cast<wxUint32>(bytes.size()));
    return socket->LastWriteCount() == bytes.size();
  }

  void end(wxSocketBase* socket) {
    const auto found = conversations_.find(socket);
    if (found == conversations_.end()) return;
    const bool accepted = found->second.accepted;
    const std::string topic = found->second.topic;
    conversations_.erase(found);
    socket->Notify(false);
    socket->Destroy();
    if (conversations_.empty()) sweep_.Stop();
    if (accepted && handlers_.disconnected) handlers_.disconnected(topic);
  }

  void onSweep(wxTimerEvent& /*event*/) {
    const Clock::time_point now = Clock::now();
    std::vector<wxSocketBase*> late;
    for (const auto& [socket, conversation] : conversations_) {
      if (conversation.deadline <= now) late.push_back(socket);
    }
    for (wxSocketBase* socket : late) end(socket);
  }

  const Handlers& handlers_;
  wxSocketServer* listener_;  // destroyed through wxSocketBase::Destroy
  std::string path_;
  wxTimer sweep_;
  // Each socket is destroyed through wxSocketBase::Destroy when its
  // conversation ends.
  std::map<wxSocketBase*, Conversation> conversations_;
};

IpcServer::IpcServer(Handlers handlers) : handlers_(std::move(handlers)) {}

IpcServer::~IpcServer() = default;

bool IpcServer::listen(const std::string& socketPath) {
  server_.reset();
  if (socketPath.find('/') == std::string::npos) return false;  // never a TCP port
  std::error_code ignored;
  std::filesystem::remove(socketPath, ignored);
  wxUNIXaddress address;
  address.Filename(socketName(socketPath));
  auto* listener = new wxSocketServer(address, wxSOCKET_NOWAIT | wxSOCKET_REUSEADDR);
  if (!listener->IsOk()) {
    listener->Destroy();
    return false;
  }
  // The folder is the user's own already; the socket is too.
  std::filesystem::permissions(
      socketPath, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
      ignored);
  server_ = std::make_unique<Server>(handlers_, listener, socketPath);
  return true;
}

// ---------------------------------------------------------------- client

void IpcConversation::SocketDeleter::operator()(wxSocketClient* socket) const {
  socket->Destroy();
}

IpcConversation::IpcConversation(const std::string& socketPath, const std::string& topic,
                                 int timeoutMs) {
  if (socketPath.find('/') == std::string::npos) return;  // never a TCP port
  const Deadline deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  socket_.reset(new wxSocketClient(wxSOCKET_NOWAIT));
  wxUNIXaddress address;
  address.Filename(socketName(socketPath));
  // A server that is stopped, or too busy to accept, must not keep this
  // start waiting: the connection is made without blocking.
  if (!socket_->Connect(address, false)) {
    if (socket_->LastError() != wxSOCKET_WOULDBLOCK) {
      close();
      return;
    }
    const long left = millisecondsUntil(deadline);
    if (!socket_->WaitOnConnect(left / 1000, left % 1000)) {
      timedOut_ = true;
      close();
      return;
    }
    if (!socket_->IsConnected()) {
      close();
      return;
    }
  }
  std::string input;
  const bool accepted =
      send(ipc_wire::connectMessage(topic), deadline) &&
      receive([](const std::string& in, bool*) { return !in.empty(); }, &input, deadline) &&
      input[0] == static_cast<char>(ipc_wire::kConnect);
  if (accepted) {
    open_ = true;
  } else {
    close();
  }
}

IpcConversation::~IpcConversation() {
  if (open_ && socket_->IsConnected() && !socket_->IsClosed()) {
    socket_->Write(ipc_wire::disconnectMessage().data(), 1);
  }
  close();
}

void IpcConversation::close() {
  open_ = false;
  if (socket_) socket_->Close();
}

bool IpcConversation::send(const std::string& bytes, Deadline deadline) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    socket_->Write(bytes.data() + sent, static_cast<wxUint32>(bytes.size() - sent));
    sent += socket_->LastWriteCount();
    if (sent == bytes.size()) break;
    if (socket_->LastError() == wxSOCKET_IOERR) return false;  // the peer has gone
    if (!socket_->IsConnected() || Clock::now() >= deadline) {
      timedOut_ = socket_->IsConnected();
      return false;
    }
    const long left = millisecondsUntil(deadline);
    socket_->WaitForWrite(left / 1000, left % 1000);
  }
  return true;
}

bool IpcConversation::receive(const std::function<bool(const std::string&, bool*)>& whole,
                              std::string* input, Deadline deadline) {
  char chunk[4096];
  for (;;) {
    bool bad = false;
    if (whole(*input, &bad)) return true;
    if (bad) return false;
    const long left = millisecondsUntil(deadline);
    if (left == 0 || !socket_->WaitForRead(left / 1000, left % 1000)) {
      timedOut_ = true;
      return false;
    }
    socket_->Read(chunk, sizeof chunk);
    const std::size_t count = socket_->LastReadCount();
    if (count == 0 && (socket_->IsClosed() || !socket_->IsConnected())) return false;
    input->append(chunk, count);
  }
}

bool IpcConversation::request(const std::string& item, int timeoutMs, std::string* reply) {
  if (!open_ || !socket_->IsConnected() || socket_->IsClosed()) return false;
  timedOut_ = false;
  const Deadline deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  bool ok = false;
  std::string answer;
  std::string input;
  const auto whole = [&](const std::string& in, bool* bad) {
    const Parse parse = ipc_wire::readReply(in, &ok, &answer);
    *bad = parse == Parse::Bad;
    return parse == Parse::Complete;
  };
  const bool answered =
      send(ipc_wire::requestMessage(item), deadline) && receive(whole, &input, deadline);
  if (!answered) {
    close();
    return false;
  }
  if (ok) *reply = answer;
  return ok;
}

bool ipcRequest(const std::string& socketPath, const std::string& topic, const std::string& item,
                int timeoutMs, std::string* reply) {
  IpcConversation conversation(socketPath, topic, timeoutMs);
  return conversation.request(item, timeoutMs, reply);
}
