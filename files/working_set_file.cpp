#include "files/working_set_file.h"

#include <cstring>

#include "platform/file_handle.h"

namespace {

// Lines are read in pieces of this many bytes less one; a longer line
// arrives as several pieces, each taken as a line of its own.
constexpr int kLineBuffer = 2000;

void readTargetLine(const char* line, TargetSink& sink) {
  const char* p = line;
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
  if (*p == '\0' || *p == '#') return;
  const char* kind = p;
  while (*p >= 'a' && *p <= 'z') ++p;
  const std::string word(kind, p);
  if (*p != '\t') return;
  const char* location = ++p;
  while (*p != '\0' && *p != '\r' && *p != '\n') ++p;
  if (word == "file") {
    sink.AddFile(std::string(location, p));
  } else if (word == "http" || word == "https") {
    sink.AddUri(std::string(location, p));
  }
}

}  // namespace

bool readWorkingSet(std::FILE* file, TargetSink& sink) {
  char line[kLineBuffer];
  if (std::fgets(line, sizeof line, file) == nullptr) return false;
  // "tvx1" and then anything but a printable ASCII character; the fifth byte
  // is taken as signed, so bytes of 0x80 and above pass.
  if (std::strncmp(line, "tvx1", 4) != 0 || static_cast<signed char>(line[4]) > 32) return false;
  while (std::fgets(line, sizeof line, file) != nullptr) readTargetLine(line, sink);
  return true;
}

bool readWorkingSet(const std::string& path, TargetSink& sink) {
  // Never waited on: a FIFO or device named ".tvx" is no working set.
  int error = 0;
  std::FILE* file = platform::openRegularStream(path, &error);
  if (file == nullptr) return false;
  const bool read = readWorkingSet(file, sink);
  std::fclose(file);
  return read;
}

bool writeWorkingSet(const std::string& path,
                     const std::vector<std::pair<std::string, std::string>>& kindAndLocation) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fputs("tvx1\r\n", file);
  for (const auto& [kind, location] : kindAndLocation) {
    std::fwrite(kind.data(), 1, kind.size(), file);
    std::fputc('\t', file);
    std::fwrite(location.data(), 1, location.size(), file);
    std::fputs("\r\n", file);
  }
  // A full disk must not pass for a saved working set.
  const bool written = std::ferror(file) == 0;
  return std::fclose(file) == 0 && written;
}
