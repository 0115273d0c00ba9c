// The failure of the socket layer: a message text and the error code the
// system gave (errno, or the resolver's code for a host lookup), -1 where
// there is none. Thrown by value by SocketStream and caught by reference;
// the check run shows what() to the user.
//
// The fixed texts below name the usual failures; a TLS failure carries
// the TLS library's reason instead ("certificate verify failed (...)").
// kStopped and kDeadline end a wait that the stream's owner asked to give
// up; HttpConnection turns them into orderly failures of its own.
#ifndef TESSAVO_NET_SOCKET_EXCEPTION_H_
#define TESSAVO_NET_SOCKET_EXCEPTION_H_

#include <exception>
#include <string>
#include <utility>

class SocketException : public std::exception {
 public:
  static constexpr const char* kNoSuchHost = "No such host is known";
  static constexpr const char* kSelectFailed = "select() failed";
  static constexpr const char* kTimeout = "Timeout";
  static constexpr const char* kRecvFailed = "recv() failed";
  static constexpr const char* kSendFailed = "send() failed";
  static constexpr const char* kStopped = "Stopped";
  static constexpr const char* kDeadline = "Deadline passed";

  SocketException(const char* message, int code) : message_(message), code_(code) {}
  SocketException(std::string message, int code) : message_(std::move(message)), code_(code) {}
  ~SocketException() override = default;
  SocketException(const SocketException&) = default;
  SocketException& operator=(const SocketException&) = default;

  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const { return message_; }
  int code() const { return code_; }

 private:
  std::string message_;
  int code_;
};

#endif  // TESSAVO_NET_SOCKET_EXCEPTION_H_
