// A peer on 127.0.0.1 that plays a fixed script over real sockets, so tests
// can send exactly the bytes a case needs and see exactly the bytes the
// client sent.
//
// The server accepts one connection per ConnectionScript, in order. For
// each Reply it first reads one request head (up to the empty line) when
// `awaitRequest` is set, then sends the reply's pieces one after another,
// pausing `pauseMs` between them (so a line can arrive split). After the
// last reply it closes the connection, or, with `hold`, keeps it open until
// the client closes it. Every wait gives up after 20 seconds, so a faulty
// client fails its test instead of hanging it.
//
// Threads: the script runs on its own thread; finish() waits for it and
// returns what it received. Destroy the client (or close it) before calling
// finish() on a script that holds the connection.
#ifndef TESSAVO_TESTS_NET_SCRIPTED_SERVER_H_
#define TESSAVO_TESTS_NET_SCRIPTED_SERVER_H_

#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

struct Reply {
  std::vector<std::string> pieces;
  bool awaitRequest = true;
  int pauseMs = 20;
};

struct ConnectionScript {
  std::vector<Reply> replies;
  bool hold = false;
};

class ScriptedServer {
 public:
  explicit ScriptedServer(std::vector<ConnectionScript> connections);
  // A server for one connection that reads one request and sends `response`.
  explicit ScriptedServer(const std::string& response);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string url(const std::string& path) const;

  // Waits for the script to end; returns every request head received, in
  // order, and sets how many connections were accepted.
  std::vector<std::string> finish();
  int connectionsAccepted() const { return accepted_; }

 private:
  void serve(std::vector<ConnectionScript> connections);

  platform::SocketHandle listener_ = platform::kInvalidSocket;
  int port_ = 0;
  int accepted_ = 0;
  std::vector<std::string> requests_;
  std::thread thread_;
};

#endif  // TESSAVO_TESTS_NET_SCRIPTED_SERVER_H_
