#include "net/socket_stream.h"

#include <cstdint>
#include <mutex>

namespace {

// The resolver's results live in static storage shared by all threads.
std::mutex& hostLookupLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

SocketStream::~SocketStream() {
  close();
}

void SocketStream::open(const char* host, int port) {
  close();
  std::uint32_t address = 0;
  int error = 0;
  bool found = false;
  {
    std::lock_guard<std::mutex> guard(hostLookupLock());
    found = platform::lookUpHost(host != nullptr ? host : "", &address, &error);
  }
  if (!found) throw SocketException(SocketException::kNoSuchHost, error);

  const platform::SocketHandle socket = platform::createStreamSocket();
  if (socket == platform::kInvalidSocket) return;
  if (!platform::connectSocket(socket, address, port)) {
    platform::closeSocket(socket);
    return;
  }
  socket_ = socket;
  atEnd_ = false;
}

void SocketStream::close() {
  if (socket_ != platform::kInvalidSocket) {
    platform::closeSocket(socket_);
    socket_ = platform::kInvalidSocket;
  }
  atEnd_ = true;
  pushback_ = -1;
}

int SocketStream::send(const char* data, int length) {
  const int count = platform::sendSome(socket_, data, length);
  if (count < 0) {
    const int error = platform::lastSocketError();
    close();
    throw SocketException(SocketException::kSendFailed, error);
  }
  return count;
}

int SocketStream::receive(char* buffer, int size) {
  if (timeout_ > 0) {
    // Data already waiting needs no readiness wait; this saves a system call
    // per block while a body streams in, and behaves exactly like waiting
    // first (a wait on pending data returns at once).
    bool wouldBlock = false;
    const int count = platform::receiveAvailable(socket_, buffer, size, &wouldBlock);
    if (!wouldBlock) {
      if (count < 0) {
        throw SocketException(SocketException::kRecvFailed, platform::lastSocketError());
      }
      return count;
    }
    switch (platform::waitUntilReadable(socket_, timeout_ / 1000)) {
      case platform::Readiness::Readable:
        break;
      case platform::Readiness::TimedOut:
        throw SocketException(SocketException::kTimeout, -1);
      case platform::Readiness::Failed:
        throw SocketException(SocketException::kSelectFailed, platform::lastSocketError());
    }
  }
  const int count = platform::receiveSome(socket_, buffer, size);
  if (count < 0) throw SocketException(SocketException::kRecvFailed, platform::lastSocketError());
  return count;
}

int SocketStream::read(char* buffer, int size) {
  if (atEnd_ || size <= 0) return 0;
  int total = 0;
  if (pushback_ >= 0) {
    buffer[total++] = static_cast<char>(pushback_);
    pushback_ = -1;
  }
  try {
    if (total < size) total += receive(buffer + total, size - total);
  } catch (const SocketException&) {
    close();
    throw;
  }
  if (total == 0) close();
  return total;
}

void SocketStream::readLine(char* buffer, int size) {
  if (size <= 0) return;
  buffer[0] = '\0';
  if (atEnd_ || size <= 1) return;
  int length = 0;
  bool obtained = false;
  try {
    char byte = 0;
    while (length < size - 1) {
      // The byte read ahead after a lone CR comes first. It is handled like
      // any received byte, so that a second lone CR ends a line as well.
      if (pushback_ >= 0) {
        byte = static_cast<char>(pushback_);
        pushback_ = -1;
      } else if (receive(&byte, 1) <= 0) {
        break;
      }
      obtained = true;
      if (byte == '\n') break;
      if (byte == '\r') {
        if (receive(&byte, 1) > 0 && byte != '\n') pushback_ = static_cast<unsigned char>(byte);
        break;
      }
      buffer[length++] = byte;
    }
  } catch (const SocketException&) {
    close();
    throw;
  }
  buffer[length] = '\0';
  if (!obtained) close();
}
