#include "engine/error_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "engine/dtd_notice.h"
#include "net/decimal_text.h"

namespace {

// Error-file lines are read in pieces of this many bytes less one.
constexpr int kErrorLineBuffer = 1000;

}  // namespace

long listErrorFile(const std::string& errorFile, const ErrorFileNames& names,
                   const kanji::DocumentAnalysis& analysis,
                   const std::function<void(ReportLine&& line)>& give,
                   platform::ValidatorText& converter) {
  std::FILE* file = std::fopen(errorFile.c_str(), "re");
  if (file == nullptr) return -1;
  // Closed however the listing ends: `give` may throw (no memory left).
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);
  DtdNoticeFilter notice(analysis);
  long given = 0;
  char line[kErrorLineBuffer];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
      line[--length] = '\0';
      // Text mode, as on the platform the files come from: CR LF is a line end.
      if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
    }
    const char* shown = line;
    // From the third byte on, so that a drive letter's colon at the start of
    // the program name is passed over.
    if (length > 2) {
      if (const char* colon = std::strchr(line + 2, ':')) shown = colon + 1;
    }
    if (!names.copy.empty()) {
      if (const char* copy = std::strstr(shown, names.copy.c_str())) {
        shown = copy + names.copy.size();
        if (*shown != '\0') ++shown;  // the ":" after the path, never the terminator
      }
    }
    std::string text = converter.toCodePage(shown, names.encoding);
    for (const auto& [given, real] : names.folders) {
      if (text.compare(0, given.size(), given) == 0) {
        text.replace(0, given.size(), real);
        break;
      }
    }
    std::optional<std::string> shownLine = notice.pass(std::move(text));
    if (!shownLine) continue;
    // The line number is read from the shown text: the validator's line and
    // column lead it, and a real path put back in front of a folder's link
    // never starts with a digit.
    const int number = net::leadingDecimal(shownLine->c_str());
    give(ReportLine{std::move(*shownLine), true, number});
    ++given;
  }
  return given;
}
