// A named pipe a child writes its report into, read by the test with a
// bound: the test learns the child's answer the moment it is written, and
// fails with a message, never hangs, when it does not come.
#ifndef TESSAVO_TESTS_SUPPORT_REPORT_PIPE_H_
#define TESSAVO_TESTS_SUPPORT_REPORT_PIPE_H_

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>

namespace test_support {

class ReportPipe {
 public:
  // Makes the pipe at `path` and opens its reading end at once, so that a
  // child opening it for writing never waits.
  explicit ReportPipe(std::string path) : path_(std::move(path)) {
    ::unlink(path_.c_str());
    if (::mkfifo(path_.c_str(), 0600) == 0) {
      fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
  }
  ~ReportPipe() {
    if (fd_ >= 0) ::close(fd_);
    ::unlink(path_.c_str());
  }
  ReportPipe(const ReportPipe&) = delete;
  ReportPipe& operator=(const ReportPipe&) = delete;

  const std::string& path() const { return path_; }
  bool isOpen() const { return fd_ >= 0; }

  // Reads until a writer has written a whole line (or closed the pipe after
  // writing something); what came, or "timed out" when `seconds` passed.
  std::string readLine(int seconds = 20) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            until - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0) return text + "timed out";
      pollfd entry{fd_, POLLIN, 0};
      // A pipe without a writer polls as hung up at once; the wait for the
      // first writer is then in steps.
      if (::poll(&entry, 1, static_cast<int>(left)) < 0 && errno != EINTR) return "poll failed";
      char buffer[512];
      const ssize_t got = ::read(fd_, buffer, sizeof buffer);
      if (got > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.back() == '\n') return text;
      } else if (got == 0 || errno == EAGAIN) {
        if (!text.empty()) return text;
        // No writer yet (or it has gone without a word): wait a moment.
        pollfd none{-1, 0, 0};
        ::poll(&none, 0, 5);
      }
    }
  }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace test_support

#endif  // TESSAVO_TESTS_SUPPORT_REPORT_PIPE_H_
