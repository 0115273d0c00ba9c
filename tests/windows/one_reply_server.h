// A server on 127.0.0.1 for the Windows tests of the HTTP client and of
// http targets: it takes one connection, reads the request head and the
// body its Content-Length announces, sends its reply whole and closes. The
// serving thread is the object's; request() waits for it. Every wait on the
// connection gives up after 20 seconds.
#ifndef TESSAVO_TESTS_WINDOWS_ONE_REPLY_SERVER_H_
#define TESSAVO_TESTS_WINDOWS_ONE_REPLY_SERVER_H_

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

#include "platform/socket.h"

// Answers one connection: reads the request, sends `reply`, closes.
class OneReplyServer {
 public:
  explicit OneReplyServer(std::string reply) : reply_(std::move(reply)) {
    listener_ = platform::listenOnLoopback(&port_);
    EXPECT_NE(listener_, platform::kInvalidSocket);
    thread_ = std::thread([this] { serve(); });
  }
  ~OneReplyServer() {
    thread_.join();
    platform::closeSocket(listener_);
  }
  std::string uri(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  const std::string& request() {
    thread_.join();
    thread_ = std::thread([] {});
    return request_;
  }

 private:
  void serve() {
    const platform::SocketHandle connection = platform::acceptConnection(listener_);
    if (connection == platform::kInvalidSocket) return;
    platform::setBlockingTimeouts(connection, 20);
    char buffer[4096];
    while (!isWhole(request_)) {
      const int got = platform::receiveSome(connection, buffer, sizeof buffer);
      if (got <= 0) break;
      request_.append(buffer, got);
    }
    for (std::size_t sent = 0; sent < reply_.size();) {
      const int count = platform::sendSome(connection, reply_.data() + sent,
                                           static_cast<int>(reply_.size() - sent));
      if (count <= 0) break;
      sent += static_cast<std::size_t>(count);
    }
    platform::shutdownSending(connection);
    platform::closeSocket(connection);
  }

  // The head has come, and the body it announces (as the client writes
  // Content-Length).
  static bool isWhole(const std::string& request) {
    const std::size_t headEnd = request.find("\r\n\r\n");
    if (headEnd == std::string::npos) return false;
    const std::string field = "\r\nContent-Length: ";
    const std::size_t at = request.find(field);
    if (at == std::string::npos || at > headEnd) return true;
    return request.size() >= headEnd + 4 + std::stoul(request.substr(at + field.size()));
  }

  std::string reply_;
  platform::SocketHandle listener_ = platform::kInvalidSocket;
  int port_ = 0;
  std::string request_;
  std::thread thread_;
};

#endif  // TESSAVO_TESTS_WINDOWS_ONE_REPLY_SERVER_H_
