// Measures HttpConnection against a loopback server.
//
//   http_bench serve FILE [CERT KEY]
//                              serves FILE's bytes for every GET on 127.0.0.1
//                              at a port the system picks, over TLS with the
//                              certificate and key files when given; prints
//                              the port, then serves until killed
//   http_bench fetch URL FILE  downloads URL (http or https; SSL_CERT_FILE
//                              names the CA to trust) into FILE with
//                              HttpConnection and prints the seconds it took
//   http_bench small FILE [COUNT]
//                              fetches a 5 KB document COUNT times (one
//                              connection each, as a check does) into FILE
//                              from a server thread in this process and
//                              prints the median, best and 90th-percentile
//                              time in microseconds
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include "net/http_connection.h"
#include "platform/socket.h"
#include "platform/socket_library.h"

namespace {

using Clock = std::chrono::steady_clock;

// The server's end of one connection, plain or TLS, on a blocking socket.
class ServerConnection {
 public:
  ServerConnection(platform::SocketHandle socket, SSL_CTX* tls) : socket_(socket) {
    if (tls == nullptr) return;
    ssl_ = SSL_new(tls);
    ok_ = ssl_ != nullptr && SSL_set_fd(ssl_, socket) == 1 && SSL_accept(ssl_) == 1;
  }
  ~ServerConnection() {
    if (ssl_ != nullptr) SSL_free(ssl_);
    platform::closeSocket(socket_);
  }
  bool ok() const { return ok_; }
  int receive(char* buffer, int size) {
    return ssl_ != nullptr ? SSL_read(ssl_, buffer, size)
                           : platform::receiveSome(socket_, buffer, size);
  }
  bool sendAll(const char* data, std::size_t size) {
    for (std::size_t sent = 0; sent < size;) {
      const int length = static_cast<int>(std::min<std::size_t>(size - sent, 1 << 20));
      const int n = ssl_ != nullptr ? SSL_write(ssl_, data + sent, length)
                                    : platform::sendSome(socket_, data + sent, length);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return true;
  }

 private:
  platform::SocketHandle socket_;
  SSL* ssl_ = nullptr;
  bool ok_ = true;
};

// Answers every request on one connection with `body`, until the client
// leaves. Request heads are taken in blocks: clients here never pipeline.
void serveConnection(platform::SocketHandle socket, const std::string* body, SSL_CTX* tls) {
  ServerConnection connection(socket, tls);
  if (!connection.ok()) return;
  const std::string head =
      "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
      std::to_string(body->size()) + "\r\n\r\n";
  std::string request;
  char buffer[4096];
  for (;;) {
    const int count = connection.receive(buffer, sizeof buffer);
    if (count <= 0) break;
    request.append(buffer, static_cast<std::size_t>(count));
    if (request.find("\r\n\r\n") == std::string::npos) continue;
    const bool headOnly = request.compare(0, 5, "HEAD ") == 0;
    request.clear();
    std::string reply = head;
    if (!headOnly && body->size() <= 64 * 1024) reply += *body;
    bool ok = connection.sendAll(reply.data(), reply.size());
    if (ok && !headOnly && body->size() > 64 * 1024) {
      ok = connection.sendAll(body->data(), body->size());
    }
    if (!ok) break;
  }
}

// One thread per connection, so that curl and HttpConnection may overlap.
void serveForever(platform::SocketHandle listener, const std::string* body, SSL_CTX* tls) {
  for (;;) {
    const platform::SocketHandle socket = platform::acceptConnection(listener);
    if (socket == platform::kInvalidSocket) return;
    std::thread(serveConnection, socket, body, tls).detach();
  }
}

// One connection after the other, on this thread: the small fetches come
// one at a time, and starting a thread for each would be measured too.
void serveInTurn(platform::SocketHandle listener, const std::string* body) {
  for (;;) {
    const platform::SocketHandle socket = platform::acceptConnection(listener);
    if (socket == platform::kInvalidSocket) return;
    serveConnection(socket, body, nullptr);
  }
}

// A TLS server context for the certificate and key files, or null.
SSL_CTX* serverContext(const char* certificate, const char* key) {
  SSL_CTX* context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr || SSL_CTX_use_certificate_chain_file(context, certificate) != 1 ||
      SSL_CTX_use_PrivateKey_file(context, key, SSL_FILETYPE_PEM) != 1) {
    ERR_print_errors_fp(stderr);
    return nullptr;
  }
  return context;
}

int serve(const char* path, const char* certificate, const char* key) {
  // A client that leaves mid-body must not end the server with SIGPIPE.
  platform::startSocketLibrary();
  SSL_CTX* tls = nullptr;
  if (certificate != nullptr && (tls = serverContext(certificate, key)) == nullptr) return 1;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "http_bench: cannot read %s\n", path);
    return 1;
  }
  const std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int port = 0;
  const platform::SocketHandle listener = platform::listenOnLoopback(&port);
  if (listener == platform::kInvalidSocket) return 1;
  std::printf("%d\n", port);
  std::fflush(stdout);
  serveForever(listener, &body, tls);
  return 1;
}

int fetch(const char* url, const char* output) {
  const Clock::time_point start = Clock::now();
  HttpConnection connection("Tessavo/1.30");
  connection.setTimeout(30000);
  HttpHeader header;
  try {
    if (!connection.get(URI(url), nullptr, header, output) || header.status != 200) {
      std::fprintf(stderr, "http_bench: download failed (status %d) %s\n", header.status,
                   connection.failureText().c_str());
      return 1;
    }
  } catch (const SocketException& failure) {
    std::fprintf(stderr, "http_bench: %s\n", failure.what());
    return 1;
  }
  std::printf("%.6f\n", std::chrono::duration<double>(Clock::now() - start).count());
  return 0;
}

int small(const std::string& output, int count) {
  std::string body;
  for (int i = 0; body.size() < 5 * 1024; ++i) body += "<p>line " + std::to_string(i) + "</p>\n";
  body.resize(5 * 1024);
  int port = 0;
  const platform::SocketHandle listener = platform::listenOnLoopback(&port);
  if (listener == platform::kInvalidSocket) return 1;
  std::thread(serveInTurn, listener, &body).detach();

  const URI uri("http://127.0.0.1:" + std::to_string(port) + "/doc.html");
  std::vector<double> micros;
  for (int i = 0; i < count + 20; ++i) {
    const Clock::time_point start = Clock::now();
    {
      HttpConnection connection("Tessavo/1.30");
      HttpHeader header;
      if (!connection.get(uri, nullptr, header, output.c_str()) || header.status != 200) return 1;
    }
    const double elapsed = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (i >= 20) micros.push_back(elapsed);  // the first ones warm up
  }
  std::remove(output.c_str());
  std::sort(micros.begin(), micros.end());
  std::printf("%.0f %.0f %.0f\n", micros[micros.size() / 2], micros.front(),
              micros[micros.size() * 9 / 10]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "serve" && argc == 3) return serve(argv[2], nullptr, nullptr);
  if (mode == "serve" && argc == 5) return serve(argv[2], argv[3], argv[4]);
  if (mode == "fetch" && argc == 4) return fetch(argv[2], argv[3]);
  if (mode == "small" && (argc == 3 || argc == 4)) {
    return small(argv[2], argc == 4 ? std::max(1, std::atoi(argv[3])) : 200);
  }
  std::fprintf(stderr,
               "usage: http_bench serve FILE [CERT KEY] | fetch URL FILE | small FILE [COUNT]\n");
  return 2;
}
