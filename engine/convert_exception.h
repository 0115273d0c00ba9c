// The failure of one target's input preparation: carries the message that
// the check run shows as the target's "E: " line. Thrown by value, caught by
// reference; copying copies the message.
#ifndef TESSAVO_ENGINE_CONVERT_EXCEPTION_H_
#define TESSAVO_ENGINE_CONVERT_EXCEPTION_H_

#include <exception>
#include <string>

class ConvertException : public std::exception {
 public:
  ConvertException() = default;
  // `message` is in the program's code page.
  explicit ConvertException(std::string message) : message_(std::move(message)) {}
  ~ConvertException() override = default;

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#endif  // TESSAVO_ENGINE_CONVERT_EXCEPTION_H_
