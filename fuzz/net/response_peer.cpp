#include "response_peer.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "net/http_connection.h"
#include "peer_connection.h"
#include "platform/host_lookup.h"
#include "platform/socket.h"
#include "test_certificates.h"

namespace {

namespace fs = std::filesystem;

platform::SocketHandle gListener = platform::kInvalidSocket;
int gPort = 0;
fs::path gFolder;
std::unique_ptr<TlsServer> gTls;

void require(bool condition) {
  if (!condition) std::abort();
}

const char* const kWords[] = {
    "HTTP/1.1 200 OK\r\n",
    "HTTP/1.0 404 Not Found\r\n",
    "\r\n",
    "Transfer-Encoding: chunked\r\n",
    "Content-Length: ",
    "Connection: close\r\n",
    "Connection: keep-alive\r\n",
    "Location: http://elsewhere/\r\n",
    "1a;x=y\r\n",
    "0\r\n\r\n",
    "3e8\r\n",
    "1000",
    "HTTP/1.1 100 Continue\r\n\r\n",
    "HTTP/1.1 304 Not Modified\r\n",
    "HTTP/1.1 204 No Content\r\n",
    "Content-Encoding: gzip\r\n",
    "Transfer-Encoding: gzip, chunked\r\n",
    "Content-Length: 10, 10\r\n",
};

std::string expandWords(const std::uint8_t* data, std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != 0xFF || i + 1 == size) {
      bytes.push_back(static_cast<char>(data[i]));
    } else if (data[++i] == 0xFF) {
      bytes.push_back('\xFF');
    } else {
      bytes += kWords[data[i] % (sizeof kWords / sizeof kWords[0])];
    }
  }
  return bytes;
}

// One connection: reads the request head, sends `response`, ends sending and
// waits for the client to leave.
void serveConnection(platform::SocketHandle socket, const std::string& response) {
  PeerConnection connection(socket, gTls.get());
  std::string head;
  char byte = 0;
  while ((head.size() < 4 || head.compare(head.size() - 4, 4, "\r\n\r\n") != 0) &&
         connection.receive(&byte, 1) == 1) {
    head.push_back(byte);
  }
  connection.sendAll(response);
  connection.endSending();
  char buffer[4096];
  while (connection.receive(buffer, sizeof buffer) > 0) {
  }
}

// Answers the first connection with `response` and any later one (a client
// that connects anew) with nothing, until `stop` is set.
void servePeer(const std::string& response, const std::atomic<bool>* stop) {
  for (bool first = true;; first = false) {
    if (platform::waitUntilReadable(gListener, 10) != platform::Readiness::Readable) return;
    const platform::SocketHandle socket = platform::acceptConnection(gListener);
    if (socket == platform::kInvalidSocket) return;
    if (*stop) {
      platform::closeSocket(socket);
      return;
    }
    serveConnection(socket, first ? response : std::string());
  }
}

// Wakes the peer from its wait for a connection.
void wakePeer() {
  platform::PeerAddress loopback;
  require(platform::numericHostAddress("127.0.0.1", &loopback));
  const platform::SocketHandle socket = platform::createClientSocket(loopback);
  platform::WaitLimit limit;
  limit.until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  require(platform::connectSocket(socket, loopback, gPort, limit) == platform::WaitResult::Ready);
  platform::closeSocket(socket);
}

void removeFolder() {
  std::error_code ignored;
  fs::remove_all(gFolder, ignored);
}

}  // namespace

void startResponsePeer(bool secure) {
  if (secure) {
    std::string message;
    const TestCertificates* certificates = testCertificates(&message);
    require(certificates != nullptr);
    gTls = std::make_unique<TlsServer>(certificates->valid);
    require(gTls->usable());
  }
  gListener = platform::listenOnLoopback(&gPort);
  require(gListener != platform::kInvalidSocket);
  gFolder = fs::temp_directory_path() / ("tessavo-http-fuzz-" + std::to_string(gPort));
  fs::create_directories(gFolder);
  std::atexit(removeFolder);
}

int fuzzOneResponse(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool head = (data[0] & 1) != 0;
  const bool again = (data[0] & 2) != 0;
  const std::string response = expandWords(data + 1, size - 1);
  const fs::path output = gFolder / "body.out";
  std::error_code ignored;
  fs::remove(output, ignored);

  std::atomic<bool> stop(false);
  std::thread peer(servePeer, response, &stop);
  {
    HttpConnection connection("Tessavo/1.30");
    connection.setTimeout(5000);
    const URI uri(std::string(gTls ? "https" : "http") + "://127.0.0.1:" + std::to_string(gPort) +
                  "/");
    HttpHeader header;
    const std::string target = output.string();
    try {
      connection.get(uri, nullptr, header, head ? nullptr : target.c_str());
      // The peer has nothing more to say: a kept connection reads its end.
      if (again) connection.get(uri, nullptr, header, head ? nullptr : target.c_str());
    } catch (const SocketException&) {
    }
    require(header.version.size() <= 8);
  }
  stop = true;
  wakePeer();
  peer.join();

  for (const fs::directory_entry& entry : fs::directory_iterator(gFolder)) {
    require(entry.path() == output);
    require(!head);
    require(entry.file_size() <= response.size());
  }
  return 0;
}
