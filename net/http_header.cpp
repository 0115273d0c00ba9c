#include "net/http_header.h"

#include "platform/ascii_blank.h"
#include "platform/ascii_case.h"

#include <algorithm>
#include <iterator>

namespace {

struct ReasonPhrase {
  int code;
  const char* text;
};

// Sorted by code.
const ReasonPhrase kReasonPhrases[] = {
    {100, "Continue"},
    {101, "Switching Protocols"},
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {203, "Non-Authoritative Information"},
    {204, "No Content"},
    {205, "Reset Content"},
    {206, "Partial Content"},
    {300, "Multiple Choices"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {303, "See Other"},
    {304, "Not Modified"},
    {305, "Use Proxy"},
    {307, "Temporary Redirect"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {402, "Payment Required"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"},
    {408, "Request Time-out"},
    {409, "Conflict"},
    {410, "Gone"},
    {411, "Length Required"},
    {412, "Precondition Failed"},
    {413, "Request Entity Too Large"},
    {414, "Request-URI Too Large"},
    {415, "Unsupported Media Type"},
    {416, "Requested range not satisfiable"},
    {417, "Expectation Failed"},
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Time-out"},
    {505, "HTTP Version not supported"},
};

}  // namespace

std::string contentTypeCharset(const std::string& contentType) {
  std::size_t p = contentType.find(';');
  while (p != std::string::npos && p < contentType.size()) {
    ++p;  // past the ";"
    while (p < contentType.size() && platform::isAsciiBlank(contentType[p])) ++p;
    std::string name;
    while (p < contentType.size() && contentType[p] != '=' && contentType[p] != ';') {
      name += platform::toLowerAscii(contentType[p++]);
    }
    while (!name.empty() && platform::isAsciiBlank(name.back())) name.pop_back();
    std::string value;
    if (p < contentType.size() && contentType[p] == '=') {
      ++p;
      while (p < contentType.size() && platform::isAsciiBlank(contentType[p])) ++p;
      if (p < contentType.size() && contentType[p] == '"') {
        for (++p; p < contentType.size() && contentType[p] != '"'; ++p) {
          if (contentType[p] == '\\' && p + 1 < contentType.size()) ++p;
          value += platform::toLowerAscii(contentType[p]);
        }
        if (p < contentType.size()) ++p;  // the closing quote
      } else {
        while (p < contentType.size() && contentType[p] != ';' && !platform::isAsciiBlank(contentType[p])) {
          value += platform::toLowerAscii(contentType[p++]);
        }
      }
    }
    if (name == "charset" && !value.empty()) return value;
    p = contentType.find(';', p);
  }
  return std::string();
}

void HttpHeader::clear() {
  fields.clear();
  version.clear();
}

std::string HttpHeader::statusText() const {
  const ReasonPhrase* end = std::end(kReasonPhrases);
  const ReasonPhrase* found =
      std::lower_bound(std::begin(kReasonPhrases), end, status,
                       [](const ReasonPhrase& phrase, int code) { return phrase.code < code; });
  return found != end && found->code == status ? found->text : "(Unknown code)";
}
