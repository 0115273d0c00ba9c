#include "engine/error_file.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

#include "engine/dtd_notice.h"
#include "net/decimal_text.h"

namespace {

// Calls `take` with each of the error file's lines, each whole however
// long, without its line end (LF, or CR LF as text mode reads it on the
// platform the files come from). Long attribute values and paths make lines
// of many kilobytes. Returns how many.
long readLines(std::FILE* file, const std::function<void(std::string& line)>& take) {
  long count = 0;
  std::string line;
  bool open = false;  // bytes of a line without its LF yet
  char block[16 * 1024];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
    for (std::size_t at = 0; at < got;) {
      const void* found = std::memchr(block + at, '\n', got - at);
      const std::size_t end = found ? static_cast<const char*>(found) - block : got;
      line.append(block + at, end - at);
      open = true;
      if (found == nullptr) break;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      take(line);
      ++count;
      line.clear();
      open = false;
      at = end + 1;
    }
  }
  if (open) {
    take(line);
    ++count;
  }
  return count;
}

// The part of an error-file line that is shown, in the program's code page.
std::string shownText(const std::string& line, const ErrorFileNames& names,
                      platform::ValidatorText& converter) {
  std::size_t shown = 0;
  // From the third byte on, so that a drive letter's colon at the start of
  // the program name is passed over.
  if (line.size() > 2) {
    const std::size_t colon = line.find(':', 2);
    if (colon != std::string::npos) shown = colon + 1;
  }
  if (!names.copy.empty()) {
    const std::size_t copy = line.find(names.copy, shown);
    if (copy != std::string::npos) {
      shown = copy + names.copy.size();
      if (shown < line.size()) ++shown;  // the ":" after the path
    }
  }
  std::string text = converter.toCodePage(line.substr(shown), names.encoding);
  for (const auto& [given, real] : names.folders) {
    if (text.compare(0, given.size(), given) == 0) {
      text.replace(0, given.size(), real);
      break;
    }
  }
  return text;
}

}  // namespace

long listErrorFile(const std::string& errorFile, const ErrorFileNames& names,
                   const kanji::DocumentAnalysis& analysis,
                   const std::function<void(ReportLine&& line)>& give,
                   platform::ValidatorText& converter) {
  std::FILE* file = std::fopen(errorFile.c_str(), "re");
  if (file == nullptr) return -1;
  // Closed however the listing ends: `give` may throw (no memory left).
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);
  // The line number is read from the shown text: the validator's line and
  // column lead it, and a real path put back in front of a folder's link
  // never starts with a digit.
  auto giveShown = [&give](std::string&& text) {
    const int number = net::leadingDecimal(text.c_str());
    give(ReportLine{std::move(text), true, number});
  };
  DtdNoticeFilter notice(analysis);
  const long count = readLines(
      file, [&](std::string& line) { notice.pass(shownText(line, names, converter), giveShown); });
  notice.finish(giveShown);
  return count;
}
