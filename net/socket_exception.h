// The failure of the socket layer: one of five fixed message texts and the
// error code the system gave (errno, or h_errno for a host lookup), -1 for a
// time-out. Thrown by value by SocketStream and caught by reference; the
// check run shows what() to the user.
#ifndef TESSAVO_NET_SOCKET_EXCEPTION_H_
#define TESSAVO_NET_SOCKET_EXCEPTION_H_

#include <exception>
#include <string>

class SocketException : public std::exception {
 public:
  static constexpr const char* kNoSuchHost = "No such host is known";
  static constexpr const char* kSelectFailed = "select() failed";
  static constexpr const char* kTimeout = "Timeout";
  static constexpr const char* kRecvFailed = "recv() failed";
  static constexpr const char* kSendFailed = "send() failed";

  SocketException(const char* message, int code) : message_(message), code_(code) {}
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
