#include "engine/error_file.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/dtd_notice.h"
#include "net/decimal_text.h"

namespace {

// The error file's lines, each whole however long, without its line end (LF,
// or CR LF as text mode reads it on the platform the files come from). Long
// attribute values and paths make lines of many kilobytes.
std::vector<std::string> readLines(std::FILE* file) {
  std::vector<std::string> lines;
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
      lines.push_back(std::move(line));
      line.clear();
      open = false;
      at = end + 1;
    }
  }
  if (open) lines.push_back(std::move(line));
  return lines;
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

int listErrorFile(const std::string& errorFile, const ErrorFileNames& names,
                  const kanji::DocumentAnalysis& analysis, std::vector<ReportLine>& listed,
                  platform::ValidatorText& converter) {
  std::FILE* file = std::fopen(errorFile.c_str(), "re");
  if (file == nullptr) return -1;
  std::vector<std::string> lines = readLines(file);
  std::fclose(file);
  for (std::string& line : lines) line = shownText(line, names, converter);
  // The line number is read from the shown text: the validator's line and
  // column lead it, and a real path put back in front of a folder's link
  // never starts with a digit.
  for (std::string& line : explainMissingDtd(lines, analysis)) {
    const int number = net::leadingDecimal(line.c_str());
    listed.push_back(ReportLine{std::move(line), true, number});
  }
  return static_cast<int>(lines.size());
}
