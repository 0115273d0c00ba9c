// The failure of one target's input preparation: carries the message that
// the check run shows as the target's "E: " line, and whether the failure
// lies with the run's own files in the temporary folder rather than with the
// document. Thrown by value, caught by reference; copying copies both.
#ifndef TESSAVO_ENGINE_CONVERT_EXCEPTION_H_
#define TESSAVO_ENGINE_CONVERT_EXCEPTION_H_

#include <exception>
#include <string>

class ConvertException : public std::exception {
 public:
  ConvertException() = default;
  // `message` is in the program's code page.
  explicit ConvertException(std::string message, bool inRunFolder = false)
      : message_(std::move(message)), inRunFolder_(inRunFolder) {}
  ~ConvertException() override = default;

  const char* what() const noexcept override { return message_.c_str(); }
  // True when the copy in the run folder could not be made (a full disk).
  bool inRunFolder() const noexcept { return inRunFolder_; }

 private:
  std::string message_;
  bool inRunFolder_ = false;
};

#endif  // TESSAVO_ENGINE_CONVERT_EXCEPTION_H_
