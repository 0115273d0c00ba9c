// A peer that plays a fixed script over real sockets, plain or TLS, so
// tests can send exactly the bytes a case needs and see exactly the bytes
// the client sent.
//
// The server listens on 127.0.0.1 (or the address in PeerOptions) and
// accepts one connection per ConnectionScript, in order. For each Reply it
// first reads one request head (up to the empty line) when `awaitRequest`
// is set, then sends the reply's pieces one after another, pausing
// `pauseMs` between them (so a line can arrive split), then, when `endless`
// is not empty, sends it again and again, `endlessPauseMs` apart, until the
// client leaves (an endless body or head, or a trickle). After the last
// reply it closes the connection (with the TLS closing alert, unless
// `cutTls`), or, with `hold`, keeps it open until the client closes it.
// Every wait gives up after 20 seconds, and an endless reply ends after 20
// seconds, so a faulty client fails its test instead of hanging it.
//
// Threads: the script runs on its own thread; finish() waits for it and
// returns what it received. Destroy the client (or close it) before calling
// finish() on a script that holds the connection. requestSeen() may be
// awaited from the test's thread.
#ifndef TESSAVO_TESTS_NET_SCRIPTED_SERVER_H_
#define TESSAVO_TESTS_NET_SCRIPTED_SERVER_H_

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "peer_connection.h"
#include "platform/socket.h"

struct Reply {
  std::vector<std::string> pieces;
  bool awaitRequest = true;
  int pauseMs = 20;
  std::string endless{};
  int endlessPauseMs = 0;
};

struct ConnectionScript {
  std::vector<Reply> replies;
  bool hold = false;
  // Ends a TLS connection without its closing alert, as a cut one ends.
  bool cutTls = false;
};

// A connection that answers one request per response, then closes, or
// holds the connection open (so that reading past a response's end would
// show up as a time-out).
ConnectionScript answering(std::vector<std::string> responses, bool hold);

struct PeerOptions {
  std::string address = "127.0.0.1";  // or "::1", "127.0.0.2"
  const TlsIdentity* tls = nullptr;   // serve TLS with this certificate
};

class ScriptedServer {
 public:
  explicit ScriptedServer(std::vector<ConnectionScript> connections,
                          const PeerOptions& options = PeerOptions());
  // A server for one connection that reads one request and sends `response`.
  explicit ScriptedServer(const std::string& response, const PeerOptions& options = PeerOptions());
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  // False when the address cannot be listened on (no IPv6, say).
  bool listening() const { return listener_ != platform::kInvalidSocket; }
  int port() const { return port_; }
  // "http://127.0.0.1:<port>" (https with TLS, "[::1]" for IPv6) followed
  // by `path`.
  std::string url(const std::string& path) const;

  // Waits at most 20 seconds until the first request head has arrived.
  bool requestSeen();

  // Waits for the script to end; returns every request head received, in
  // order, and sets how many connections were accepted.
  std::vector<std::string> finish();
  int connectionsAccepted() const { return accepted_; }

 private:
  void serve(std::vector<ConnectionScript> connections);
  void play(const ConnectionScript& script, PeerConnection& connection);

  PeerOptions options_;
  std::unique_ptr<TlsServer> tls_;
  platform::SocketHandle listener_ = platform::kInvalidSocket;
  int port_ = 0;
  int accepted_ = 0;
  std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

#endif  // TESSAVO_TESTS_NET_SCRIPTED_SERVER_H_
