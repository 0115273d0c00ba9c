#include "scripted_server.h"

#include <chrono>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWaitSeconds = PeerConnection::kWaitSeconds;

// Reads one request head byte by byte, so nothing after its empty line is
// taken. False when the client ended the connection or stayed silent.
bool readRequestHead(PeerConnection& connection, std::string* head) {
  while (head->size() < 4 || head->compare(head->size() - 4, 4, "\r\n\r\n") != 0) {
    char byte = 0;
    if (connection.receive(&byte, 1) != 1) return false;
    head->push_back(byte);
  }
  return true;
}

// Waits until the client closes its end, dropping whatever it still sends.
void awaitClose(PeerConnection& connection) {
  char buffer[4096];
  while (connection.receive(buffer, sizeof buffer) > 0) {
  }
}

// Sends `data` again and again until the client leaves or the bound passes.
bool sendEndlessly(PeerConnection& connection, const std::string& data, int pauseMs) {
  const Clock::time_point end = Clock::now() + std::chrono::seconds(kWaitSeconds);
  while (Clock::now() < end) {
    if (!connection.sendAll(data)) return false;
    if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  return true;
}

std::vector<ConnectionScript> oneReply(const std::string& response) {
  Reply reply;
  reply.pieces.push_back(response);
  ConnectionScript script;
  script.replies.push_back(reply);
  return {script};
}

}  // namespace

ConnectionScript answering(std::vector<std::string> responses, bool hold) {
  ConnectionScript script;
  for (std::string& response : responses) {
    Reply reply;
    reply.pieces.push_back(std::move(response));
    script.replies.push_back(reply);
  }
  script.hold = hold;
  return script;
}

ScriptedServer::ScriptedServer(std::vector<ConnectionScript> connections,
                               const PeerOptions& options)
    : options_(options) {
  if (options_.tls != nullptr) {
    tls_ = std::make_unique<TlsServer>(*options_.tls);
    if (!tls_->usable()) throw std::runtime_error("cannot load the test certificate");
  }
  listener_ = platform::listenOn(options_.address.c_str(), &port_);
  // A missing IPv6 loopback is for the test to skip; anything else is a
  // broken machine.
  if (listener_ == platform::kInvalidSocket && options_.address == "127.0.0.1") {
    throw std::runtime_error("cannot listen on loopback");
  }
  if (listener_ != platform::kInvalidSocket) {
    thread_ = std::thread(&ScriptedServer::serve, this, std::move(connections));
  }
}

ScriptedServer::ScriptedServer(const std::string& response, const PeerOptions& options)
    : ScriptedServer(oneReply(response), options) {}

ScriptedServer::~ScriptedServer() {
  finish();
}

std::string ScriptedServer::url(const std::string& path) const {
  const bool v6 = options_.address.find(':') != std::string::npos;
  return std::string(options_.tls != nullptr ? "https" : "http") + "://" +
         (v6 ? "[" + options_.address + "]" : options_.address) + ":" + std::to_string(port_) +
         path;
}

bool ScriptedServer::requestSeen() {
  std::unique_lock<std::mutex> guard(lock_);
  return arrived_.wait_for(guard, std::chrono::seconds(kWaitSeconds),
                           [this] { return !requests_.empty(); });
}

std::vector<std::string> ScriptedServer::finish() {
  if (thread_.joinable()) thread_.join();
  platform::closeSocket(listener_);
  listener_ = platform::kInvalidSocket;
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

void ScriptedServer::serve(std::vector<ConnectionScript> connections) {
  for (const ConnectionScript& script : connections) {
    if (platform::waitUntilReadable(listener_, kWaitSeconds) != platform::Readiness::Readable) {
      return;
    }
    const platform::SocketHandle socket = platform::acceptConnection(listener_);
    if (socket == platform::kInvalidSocket) return;
    ++accepted_;
    PeerConnection connection(socket, tls_.get());
    if (connection.ok()) play(script, connection);
  }
}

void ScriptedServer::play(const ConnectionScript& script, PeerConnection& connection) {
  for (const Reply& reply : script.replies) {
    if (reply.awaitRequest) {
      std::string head;
      const bool complete = readRequestHead(connection, &head);
      if (!head.empty()) {
        std::lock_guard<std::mutex> guard(lock_);
        requests_.push_back(head);
        arrived_.notify_all();
      }
      if (!complete) return;
    }
    for (std::size_t i = 0; i < reply.pieces.size(); ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.pauseMs));
      if (!connection.sendAll(reply.pieces[i])) return;
    }
    if (!reply.endless.empty() && !sendEndlessly(connection, reply.endless, reply.endlessPauseMs)) {
      return;
    }
  }
  if (script.hold) {
    awaitClose(connection);
  } else if (!script.cutTls) {
    connection.endSending();
  }
}
