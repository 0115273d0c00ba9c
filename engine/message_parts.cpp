#include "engine/message_parts.h"

#include "net/decimal_text.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The end of "digits:digits:" starting at `at`, or npos.
std::size_t positionEnd(const std::string& line, std::size_t at) {
  for (int field = 0; field < 2; ++field) {
    const std::size_t start = at;
    while (at < line.size() && isDigit(line[at])) ++at;
    if (at == start || at >= line.size() || line[at] != ':') return std::string::npos;
    ++at;
  }
  return at;
}

// Whether `rest` opens with a kind letter: "E: text", or "E:" alone.
bool opensWithKind(const std::string& line, std::size_t at) {
  if (at + 1 >= line.size() || line[at] < 'A' || line[at] > 'Z' || line[at + 1] != ':') {
    return false;
  }
  return at + 2 == line.size() || line[at + 2] == ' ';
}

// Fills kind and text from what follows a position (or the line's start).
void takeKindAndText(const std::string& line, std::size_t at, MessageParts& parts) {
  if (opensWithKind(line, at)) {
    parts.kind = line[at];
    at += 2;
  }
  if (at < line.size() && line[at] == ' ') ++at;
  parts.text = line.substr(at);
}

void takePosition(const std::string& line, std::size_t at, MessageParts& parts) {
  parts.line = net::leadingDecimal(line.c_str() + at);
  parts.column = net::leadingDecimal(line.c_str() + line.find(':', at) + 1);
}

}  // namespace

MessageParts splitMessageLine(const std::string& line) {
  MessageParts parts;
  const std::size_t documentPosition = positionEnd(line, 0);
  if (documentPosition != std::string::npos) {
    takePosition(line, 0, parts);
    takeKindAndText(line, documentPosition, parts);
    return parts;
  }
  if (opensWithKind(line, 0)) {
    takeKindAndText(line, 0, parts);
    return parts;
  }
  // Another file's name may hold colons of its own: the first ":N:M:"
  // followed by a kind or a blank ends it.
  for (std::size_t colon = line.find(':'); colon != std::string::npos;
       colon = line.find(':', colon + 1)) {
    const std::size_t end = positionEnd(line, colon + 1);
    if (colon == 0 || end == std::string::npos) continue;
    if (!opensWithKind(line, end) && (end >= line.size() || line[end] != ' ')) continue;
    parts.file = line.substr(0, colon);
    takePosition(line, colon + 1, parts);
    takeKindAndText(line, end, parts);
    return parts;
  }
  parts.text = line;
  return parts;
}

Severity severityOf(char kind) {
  switch (kind) {
    case 'E':
    case 'Q':
    case 'X':
      return Severity::Error;
    case 'W':
      return Severity::Warning;
    default:
      return Severity::Info;
  }
}

const char* severityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    case Severity::Info:
      break;
  }
  return "info";
}
