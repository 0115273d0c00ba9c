#include "kanji/utf8_copy.h"

#include <cstring>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace kanji {
namespace {

std::string lineEndBytes(LineEnd lineEnd) {
  switch (lineEnd) {
    case LineEnd::Cr:
      return "\r";
    case LineEnd::Lf:
      return "\n";
    case LineEnd::CrLf:
      return "\r\n";
  }
  return "";  // any other value writes nothing for a line end
}

class BlockWriter {
 public:
  explicit BlockWriter(std::streambuf* out) : out_(out) {}
  void write(const char* data, std::size_t size) {
    if (failed_ || size == 0) return;
    if (out_ == nullptr) return;
    if (out_->sputn(data, static_cast<std::streamsize>(size)) !=
        static_cast<std::streamsize>(size)) {
      failed_ = true;
    }
  }
  bool failed() const { return failed_; }

 private:
  std::streambuf* out_;  // not owned; may be null (writes are swallowed)
  bool failed_ = false;
};

}  // namespace

bool copyUtf8Text(std::istream& input, std::ostream& output, LineEnd lineEnd) {
  const std::string newline = lineEndBytes(lineEnd);
  BlockWriter writer(output.rdbuf());
  std::streambuf* in = input.rdbuf();
  std::vector<char> block(64 * 1024);
  // A CR at the end of one block may be the first half of a CR LF pair.
  bool pendingCr = false;
  for (std::streamsize got; in != nullptr && (got = in->sgetn(block.data(), block.size())) > 0;) {
    const char* data = block.data();
    const char* end = data + got;
    if (pendingCr) {
      writer.write(newline.data(), newline.size());
      if (*data == '\n') ++data;
      pendingCr = false;
    }
    while (data < end) {
      const char* stop = data;
      while (stop < end && *stop != '\r' && *stop != '\n') ++stop;
      writer.write(data, static_cast<std::size_t>(stop - data));
      if (stop == end) break;
      if (*stop == '\r' && stop + 1 == end) {
        pendingCr = true;
        break;
      }
      writer.write(newline.data(), newline.size());
      data = stop + (*stop == '\r' && stop[1] == '\n' ? 2 : 1);
    }
  }
  if (pendingCr) writer.write(newline.data(), newline.size());
  input.setstate(std::ios::eofbit);
  const bool written =
      !writer.failed() && (output.rdbuf() == nullptr || output.rdbuf()->pubsync() != -1);
  if (!written) output.setstate(std::ios::badbit);
  return written;
}

}  // namespace kanji
