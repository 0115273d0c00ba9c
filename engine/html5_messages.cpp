#include "engine/html5_messages.h"

#include <cstdint>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

// A whole number member of `message`, or 0 when it has none that fits.
int number(const Json& message, const char* key) {
  const auto found = message.find(key);
  if (found == message.end() || !found->is_number_integer()) return 0;
  const std::int64_t value = found->get<std::int64_t>();
  return value > 0 && value <= INT32_MAX ? static_cast<int>(value) : 0;
}

std::string text(const Json& message, const char* key) {
  const auto found = message.find(key);
  return found != message.end() && found->is_string() ? found->get<std::string>() : std::string();
}

char kindOf(const std::string& type, const std::string& subType) {
  if (type == "error" || type == "non-document-error") return 'E';
  if (type == "info" && subType == "warning") return 'W';
  return 'I';
}

// One pane line, and so one message: control characters become blanks.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

}  // namespace

Html5Listing listHtml5Messages(const std::string& answer, std::vector<ReportLine>& lines,
                               platform::ValidatorText& converter) {
  Html5Listing listing;
  const Json document = Json::parse(answer, nullptr, false);
  if (document.is_discarded() || !document.is_object()) return listing;
  const auto messages = document.find("messages");
  if (messages == document.end() || !messages->is_array()) return listing;
  listing.readable = true;
  for (const Json& message : *messages) {
    if (!message.is_object()) continue;
    const std::string type = text(message, "type");
    const char kind = kindOf(type, text(message, "subType"));
    int line = number(message, "lastLine");
    if (line == 0) line = number(message, "firstLine");
    int column = number(message, "lastColumn");
    if (column == 0) column = number(message, "firstColumn");
    std::string shown;
    if (type == "non-document-error") {
      listing.nonDocumentError = true;
      line = 0;
    }
    if (line != 0) {
      shown = std::to_string(line) + ":" + std::to_string(column > 0 ? column - 1 : 0) + ":";
    }
    shown += kind;
    shown += ": ";
    shown +=
        converter.toCodePage(oneLine(text(message, "message")), platform::ValidatorEncoding::Utf8);
    lines.push_back(ReportLine{std::move(shown), true, line});
  }
  return listing;
}
