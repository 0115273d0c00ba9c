#include "scripted_server.h"

#include <chrono>
#include <stdexcept>

namespace {

constexpr int kWaitSeconds = 20;

// Reads one request head byte by byte, so nothing after its empty line is
// taken. False when the client ended the connection or stayed silent.
bool readRequestHead(platform::SocketHandle socket, std::string* head) {
  while (head->size() < 4 || head->compare(head->size() - 4, 4, "\r\n\r\n") != 0) {
    if (platform::waitUntilReadable(socket, kWaitSeconds) != platform::Readiness::Readable) {
      return false;
    }
    char byte = 0;
    if (platform::receiveSome(socket, &byte, 1) != 1) return false;
    head->push_back(byte);
  }
  return true;
}

bool sendAll(platform::SocketHandle socket, const std::string& data) {
  for (std::size_t sent = 0; sent < data.size();) {
    const int count =
        platform::sendSome(socket, data.data() + sent, static_cast<int>(data.size() - sent));
    if (count <= 0) return false;
    sent += static_cast<std::size_t>(count);
  }
  return true;
}

// Waits until the client closes its end, dropping whatever it still sends.
void awaitClose(platform::SocketHandle socket) {
  char buffer[4096];
  while (platform::waitUntilReadable(socket, kWaitSeconds) == platform::Readiness::Readable &&
         platform::receiveSome(socket, buffer, sizeof buffer) > 0) {
  }
}

std::vector<ConnectionScript> oneReply(const std::string& response) {
  Reply reply;
  reply.pieces.push_back(response);
  ConnectionScript script;
  script.replies.push_back(reply);
  return {script};
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<ConnectionScript> connections) {
  listener_ = platform::listenOnLoopback(&port_);
  if (listener_ == platform::kInvalidSocket) throw std::runtime_error("cannot listen on loopback");
  thread_ = std::thread(&ScriptedServer::serve, this, std::move(connections));
}

ScriptedServer::ScriptedServer(const std::string& response) : ScriptedServer(oneReply(response)) {}

ScriptedServer::~ScriptedServer() {
  finish();
}

std::string ScriptedServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> ScriptedServer::finish() {
  if (thread_.joinable()) thread_.join();
  platform::closeSocket(listener_);
  listener_ = platform::kInvalidSocket;
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
    bool open = true;
    for (const Reply& reply : script.replies) {
      if (reply.awaitRequest) {
        std::string head;
        open = readRequestHead(socket, &head);
        if (!head.empty()) requests_.push_back(head);
        if (!open) break;
      }
      for (std::size_t i = 0; i < reply.pieces.size() && open; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.pauseMs));
        open = sendAll(socket, reply.pieces[i]);
      }
      if (!open) break;
    }
    if (open && script.hold) awaitClose(socket);
    platform::closeSocket(socket);
  }
}
