#include "net/uri.h"

#include <cstring>

#include "net/decimal_text.h"
#include "platform/ascii_case.h"

namespace {

bool isUriCharacter(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 0x21 && u != '"' && u != '<' && u != '>' && u != 0x7F;
}

bool isAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Advances over URI characters that are not in `stops`.
const char* scanUntil(const char* p, const char* stops) {
  while (isUriCharacter(*p) && std::strchr(stops, *p) == nullptr) ++p;
  return p;
}

// The part of the authority after the user information.
const char* afterUserInfo(const std::string& authority) {
  const char* text = authority.c_str();
  const char* at = std::strchr(text, '@');
  return at != nullptr ? at + 1 : text;
}

// The ":" before the port in `hostAndPort`, or null. The colons of an IPv6
// address in brackets are not it.
const char* portColon(const char* hostAndPort) {
  if (hostAndPort[0] == '[') {
    if (const char* close = std::strchr(hostAndPort, ']')) return std::strchr(close, ':');
  }
  return std::strchr(hostAndPort, ':');
}

}  // namespace

URI::URI(const char* text) {
  unparsed_ = parse(text != nullptr ? text : "");
}

URI::URI(const std::string& text) {
  // A NUL inside the text ends the parse like any byte that is no URI
  // character, and what follows it is left over as well.
  unparsed_ = text.substr(static_cast<std::size_t>(parse(text.c_str()) - text.c_str()));
}

const char* URI::parse(const char* text) {
  const char* p = text;

  const char* end = scanUntil(p, ":/?#");
  if (*end == ':') {
    scheme_.assign(p, end);
    p = end + 1;
  }

  if (p[0] == '/' && p[1] == '/') {
    p += 2;
    end = scanUntil(p, "/?#");
    authority_.assign(p, end);
    p = end;
  }

  if (schemeIs("file") && p[0] == '/' && isAsciiLetter(p[1]) && p[2] == ':') ++p;

  end = scanUntil(p, "?#");
  path_.assign(p, end);
  if (path_.empty() && (schemeIs("http") || schemeIs("https"))) path_ = "/";
  p = end;

  if (*p == '?') {
    ++p;
    end = scanUntil(p, "#");
    query_.assign(p, end);
    p = end;
  }

  if (*p == '#') {
    ++p;
    end = scanUntil(p, "");
    fragment_.assign(p, end);
    p = end;
  }
  return p;
}

bool URI::schemeIs(const char* lowerCaseName) const {
  return platform::equalsIgnoringAsciiCase(scheme_, lowerCaseName);
}

std::string URI::host() const {
  const char* start = afterUserInfo(authority_);
  const char* colon = portColon(start);
  return colon != nullptr ? std::string(start, colon) : std::string(start);
}

int URI::port() const {
  const char* colon = portColon(afterUserInfo(authority_));
  return colon != nullptr ? net::leadingDecimal(colon + 1) : -1;
}

std::string URI::toString() const {
  std::string result;
  if (!scheme_.empty()) result += scheme_ + ":";
  if (!authority_.empty()) result += "//" + authority_;
  result += path_;
  if (!query_.empty()) result += "?" + query_;
  if (!fragment_.empty()) result += "#" + fragment_;
  return result;
}
