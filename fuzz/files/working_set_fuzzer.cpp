// Reads arbitrary bytes as a working-set file and checks what reaches the
// sink: only locations of at most 1998 bytes without CR, LF or NUL, and, for
// a file that passed the signature, the same targets again after writing
// them out and reading the written file back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "files/target_sink.h"
#include "files/working_set_file.h"

namespace {

class CollectingSink : public TargetSink {
 public:
  void AddFile(const std::string& path) override { targets.emplace_back("file", path); }
  void AddUri(const std::string& text) override { targets.emplace_back("http", text); }
  std::vector<std::pair<std::string, std::string>> targets;
};

bool readBytes(const std::string& bytes, CollectingSink& sink) {
  std::FILE* file = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
  if (file == nullptr) return false;
  const bool read = readWorkingSet(file, sink);
  std::fclose(file);
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CollectingSink sink;
  const bool read = readBytes(bytes, sink);
  if (!read && !sink.targets.empty()) std::abort();
  for (const auto& target : sink.targets) {
    const std::string& location = target.second;
    if (location.size() > 1998) std::abort();
    if (location.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
  }
  if (!read) return 0;

  // What was read writes out as a file that reads back the same, provided
  // no location starts a line of its own after the 1999-byte split.
  std::string written = "tvx1\r\n";
  for (const auto& [kind, location] : sink.targets) written += kind + "\t" + location + "\r\n";
  if (written.size() > 1900 * (sink.targets.size() + 1)) return 0;
  for (const auto& target : sink.targets) {
    if (target.first.size() + target.second.size() + 3 >= 2000) return 0;
  }
  CollectingSink again;
  if (!readBytes(written, again) || again.targets != sink.targets) std::abort();
  return 0;
}
