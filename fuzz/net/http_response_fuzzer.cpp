// Feeds arbitrary bytes to HttpConnection as the server's response, over a
// real loopback connection, and checks that the download never crashes,
// never waits for more than the peer sends (the peer ends its side after
// the bytes), and never writes anything but the output file, which can hold
// no more than the peer sent.
//
// The first input byte picks the request: bit 0 asks with HEAD instead of
// GET, bit 1 sends a second request over a connection that was kept. In the
// rest, 0xFF followed by another byte stands for one of the protocol's
// words (0xFF 0xFF for the byte 0xFF itself), so the fuzzer reaches chunked
// and length-delimited bodies quickly while every byte string stays
// possible.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "net/http_connection.h"
#include "platform/socket.h"

namespace {

namespace fs = std::filesystem;

platform::SocketHandle gListener = platform::kInvalidSocket;
int gPort = 0;
fs::path gFolder;

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
  std::string head;
  char byte = 0;
  while ((head.size() < 4 || head.compare(head.size() - 4, 4, "\r\n\r\n") != 0) &&
         platform::waitUntilReadable(socket, 10) == platform::Readiness::Readable &&
         platform::receiveSome(socket, &byte, 1) == 1) {
    head.push_back(byte);
  }
  for (std::size_t sent = 0; sent < response.size();) {
    const int count = platform::sendSome(socket, response.data() + sent,
                                         static_cast<int>(response.size() - sent));
    if (count <= 0) break;
    sent += static_cast<std::size_t>(count);
  }
  platform::shutdownSending(socket);
  char buffer[4096];
  while (platform::waitUntilReadable(socket, 10) == platform::Readiness::Readable &&
         platform::receiveSome(socket, buffer, sizeof buffer) > 0) {
  }
  platform::closeSocket(socket);
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
  std::uint32_t loopback = 0;
  int error = 0;
  require(platform::lookUpHost("127.0.0.1", &loopback, &error));
  const platform::SocketHandle socket = platform::createStreamSocket();
  require(platform::connectSocket(socket, loopback, gPort));
  platform::closeSocket(socket);
}

void removeFolder() {
  std::error_code ignored;
  fs::remove_all(gFolder, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gListener = platform::listenOnLoopback(&gPort);
  require(gListener != platform::kInvalidSocket);
  gFolder = fs::temp_directory_path() / ("tessavo-http-fuzz-" + std::to_string(gPort));
  fs::create_directories(gFolder);
  std::atexit(removeFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
    const URI uri("http://127.0.0.1:" + std::to_string(gPort) + "/");
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
