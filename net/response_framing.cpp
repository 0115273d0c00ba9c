#include "net/response_framing.h"

#include <vector>

#include "net/decimal_text.h"
#include "platform/ascii_blank.h"
#include "platform/ascii_case.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The elements of a comma-separated field value, trimmed; empty elements
// are left out, as the list syntax allows them.
std::vector<std::string> listElements(const std::string& value) {
  std::vector<std::string> elements;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = value.find(',', start);
    std::string element = platform::trimmedOfBlanks(value.substr(start, comma - start));
    if (!element.empty()) elements.push_back(std::move(element));
    if (comma == std::string::npos) return elements;
    start = comma + 1;
  }
}

bool allDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!isDigit(c)) return false;
  }
  return true;
}

void fault(ResponseFraming& framing, std::string text, HttpFailure kind = HttpFailure::Malformed) {
  if (framing.fault.empty()) {
    framing.faultKind = kind;
    framing.fault = std::move(text);
  }
}

void takeContentLength(const std::string& value, ResponseFraming& framing) {
  const std::vector<std::string> elements = listElements(value);
  if (elements.empty()) {
    fault(framing, "Content-Length " + shownServerText(value) + " is not a number");
    return;
  }
  for (const std::string& element : elements) {
    if (!allDigits(element)) {
      fault(framing, "Content-Length " + shownServerText(value) + " is not a number");
      return;
    }
    const std::int64_t length = net::leadingDecimal64(element.c_str());
    if (framing.body.length >= 0 && framing.body.length != length) {
      fault(framing, "two different Content-Length values (" + std::to_string(framing.body.length) +
                         " and " + std::to_string(length) + ")");
      return;
    }
    framing.body.length = length;
  }
}

void takeTransferEncoding(const std::string& value, ResponseFraming& framing) {
  const std::vector<std::string> codings = listElements(value);
  if (codings.empty()) fault(framing, "an empty Transfer-Encoding");
  for (const std::string& coding : codings) {
    if (!platform::equalsIgnoringAsciiCase(coding, "chunked")) {
      fault(framing, "Transfer-Encoding " + shownServerText(coding) + " is not decoded",
            HttpFailure::UnsupportedCoding);
      return;
    }
  }
  framing.body.chunked = true;
}

void takeContentEncoding(const std::string& value, ResponseFraming& framing) {
  for (const std::string& coding : listElements(value)) {
    if (platform::equalsIgnoringAsciiCase(coding, "identity")) continue;
    // One gzip layer is undone on the way into the file.
    const bool gzip = platform::equalsIgnoringAsciiCase(coding, "gzip") ||
                      platform::equalsIgnoringAsciiCase(coding, "x-gzip");
    if (gzip && !framing.gzip) {
      framing.gzip = true;
    } else {
      fault(framing, "Content-Encoding " + shownServerText(coding) + " is not decoded",
            HttpFailure::UnsupportedCoding);
      return;
    }
  }
}

}  // namespace

std::string shownServerText(const std::string& text) {
  std::string result = "\"";
  for (std::size_t i = 0; i < text.size() && i < 40; ++i) {
    result.push_back(text[i] >= 0x20 && text[i] < 0x7F ? text[i] : '?');
  }
  if (text.size() > 40) result += "...";
  return result + "\"";
}

int takeStatusLine(const std::string& line, ResponseFraming& framing) {
  const bool threeDigits = line.size() >= 12 && line[8] == ' ' && isDigit(line[9]) &&
                           isDigit(line[10]) && isDigit(line[11]) &&
                           (line.size() == 12 || line[12] == ' ');
  if (!threeDigits) {
    fault(framing,
          "the status line " + shownServerText(line) + " holds no three-digit status code");
    return 0;
  }
  return net::leadingDecimal(line.substr(9, 3).c_str());
}

void takeFramingField(const std::string& name, const std::string& value, ResponseFraming& framing) {
  if (name == "transfer-encoding") {
    takeTransferEncoding(value, framing);
  } else if (name == "content-length") {
    takeContentLength(value, framing);
  } else if (name == "content-encoding") {
    takeContentEncoding(value, framing);
  } else if (name == "connection") {
    for (const std::string& option : listElements(value)) {
      if (platform::equalsIgnoringAsciiCase(option, "close")) framing.closeAfter = true;
    }
  }
}
