#include "net/socket_stream.h"

#include <algorithm>
#include <cstring>

namespace {

// A read at least this large skips the buffer: the receive goes straight
// into the caller's memory.
constexpr int kDirectReadSize = 16 * 1024;

}  // namespace

SocketStream::~SocketStream() {
  close();
}

void SocketStream::open(const char* host, int port, bool secure) {
  close();
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  endWithoutCloseNotify_ = false;
  channel_.open(host != nullptr ? host : "", port, secure, bounds_, &openFailure_);
}

void SocketStream::close() {
  channel_.close();
  begin_ = end_ = 0;
  peerEnded_ = false;
}

int SocketStream::send(const char* data, int length) {
  try {
    channel_.send(data, length, bounds_);
  } catch (const SocketException&) {
    close();
    throw;
  }
  return length;
}

bool SocketStream::fill() {
  begin_ = end_ = 0;
  if (peerEnded_) return false;
  const int count = channel_.receive(buffer_.get(), kBufferSize, bounds_);
  if (count <= 0) {
    peerEnded_ = true;
    endWithoutCloseNotify_ = channel_.endWithoutCloseNotify();
    return false;
  }
  end_ = static_cast<std::size_t>(count);
  return true;
}

int SocketStream::read(char* buffer, int size) {
  if (!isOpen() || size <= 0) return 0;
  int count = 0;
  try {
    if (begin_ < end_) {
      count =
          static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(size), end_ - begin_));
      std::memcpy(buffer, buffer_.get() + begin_, static_cast<std::size_t>(count));
      begin_ += static_cast<std::size_t>(count);
    } else if (peerEnded_) {
      count = 0;
    } else if (size >= kDirectReadSize) {
      count = channel_.receive(buffer, size, bounds_);
      if (count == 0) endWithoutCloseNotify_ = channel_.endWithoutCloseNotify();
    } else if (fill()) {
      count = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(size), end_));
      std::memcpy(buffer, buffer_.get(), static_cast<std::size_t>(count));
      begin_ = static_cast<std::size_t>(count);
    }
  } catch (const SocketException&) {
    close();
    throw;
  }
  if (count == 0) close();
  return count;
}

SocketStream::LineStatus SocketStream::readLine(std::string* line, std::size_t limit) {
  line->clear();
  if (!isOpen()) return LineStatus::Ended;
  if (limit == 0) return LineStatus::TooLong;
  bool obtained = false;
  try {
    for (;;) {
      if (begin_ == end_ && !fill()) break;
      const char* start = buffer_.get() + begin_;
      const std::size_t room = limit - line->size();
      const std::size_t available = std::min(end_ - begin_, room);
      std::size_t length = 0;
      while (length < available && start[length] != '\n' && start[length] != '\r') ++length;
      line->append(start, length);
      begin_ += length;
      obtained = obtained || length > 0;
      if (length < available) {
        // A line end: CR LF counts as one, and the byte after a lone CR
        // stays for the next read.
        const char end = buffer_[begin_++];
        if (end == '\r' && (begin_ < end_ || fill()) && buffer_[begin_] == '\n') ++begin_;
        return LineStatus::Complete;
      }
      if (line->size() == limit) return LineStatus::TooLong;
    }
  } catch (const SocketException&) {
    close();
    throw;
  }
  if (!obtained) {
    close();
    return LineStatus::Ended;
  }
  return LineStatus::Complete;
}

void SocketStream::readLine(char* buffer, int size) {
  if (size <= 0) return;
  buffer[0] = '\0';
  if (!isOpen() || size <= 1) return;
  std::string line;
  readLine(&line, static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, line.data(), line.size());
  buffer[line.size()] = '\0';
}
