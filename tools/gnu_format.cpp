#include <string>

#include "engine/message_parts.h"
#include "tools/control_escape.h"
#include "tools/report_format.h"

namespace {

// Editors and the GNU conventions count columns from 1, the validator from
// 0.
std::string position(const MessageParts& parts) {
  return std::to_string(parts.line) + ':' +
         std::to_string(static_cast<long long>(parts.column) + 1);
}

class GnuFormat : public ReportFormat {
 public:
  explicit GnuFormat(std::FILE* output) : output_(output) {}

  void targetBegun(const TargetReport& report) override { location_ = report.location; }

  void targetLine(const std::string& line) override {
    const MessageParts parts = splitMessageLine(line);
    const char* severity = severityName(severityOf(parts.kind));
    std::string message = location_;
    if (parts.line != 0 && parts.file.empty()) {
      message += ':' + position(parts);
    }
    message += std::string(": ") + severity + ": ";
    if (!parts.file.empty()) {
      message += parts.file + ':' + position(parts) + ": ";
    }
    message += parts.text;
    // One message, one line, whatever bytes a file name holds.
    const std::string shown = escapeControlCharacters(message) + '\n';
    std::fwrite(shown.data(), 1, shown.size(), output_);
  }

  void targetEnded() override { std::fflush(output_); }

  void runLine(const std::string& line) override {
    const MessageParts parts = splitMessageLine(line);
    write(escapeControlCharacters(std::string("tessavo-check: ") +
                                  severityName(severityOf(parts.kind)) + ": " + parts.text) +
          '\n');
  }

  void end(const RunTally&) override {}

 private:
  void write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), output_);
    std::fflush(output_);
  }

  std::FILE* output_;
  std::string location_;  // of the target whose lines come
};

}  // namespace

std::unique_ptr<ReportFormat> makeGnuFormat(std::FILE* output) {
  return std::make_unique<GnuFormat>(output);
}
