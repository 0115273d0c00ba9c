// Splits arbitrary bytes as a URI and checks what every caller relies on:
// each component holds only URI characters and none of the delimiters that
// end it, what the parse left over is the text's tail from a byte that is
// no URI character, nothing is invented beyond the "/" of an empty http
// path, and the joined text parses back into the same components.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/uri.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

bool onlyUriCharacters(const std::string& text, const char* stops) {
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x21 || u == '"' || u == '<' || u == '>' || u == 0x7F) return false;
    if (std::strchr(stops, c) != nullptr) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const URI uri(text);
  const std::string scheme = uri.scheme();
  const std::string authority = uri.authority();
  const std::string path = uri.path();
  const std::string query = uri.query();
  const std::string fragment = uri.fragment();

  require(onlyUriCharacters(scheme, ":/?#"));
  require(onlyUriCharacters(authority, "/?#"));
  require(onlyUriCharacters(path, "?#"));
  require(onlyUriCharacters(query, "#"));
  require(onlyUriCharacters(fragment, ""));
  require(authority.find(uri.host()) != std::string::npos);
  require(uri.port() == -1 || authority.find(':') != std::string::npos);

  const std::size_t parsed = std::strlen(text.c_str());
  // The parse stops at the first byte that is no URI character (a NUL
  // included), and everything from there is left over.
  const std::string& unparsed = uri.unparsed();
  require(unparsed.size() <= text.size());
  require(text.compare(text.size() - unparsed.size(), unparsed.size(), unparsed) == 0);
  require(unparsed.empty() || !onlyUriCharacters(unparsed.substr(0, 1), ""));
  require(unparsed.size() >= text.size() - parsed);
  const std::string joined = uri.toString();
  require(joined.size() <= parsed + 1);
  require(scheme.size() + authority.size() + path.size() + query.size() + fragment.size() <=
          parsed + 1);

  // With a scheme in front, the joined text parses into the same split,
  // except where joining runs two components together: a path that begins
  // with "//" after an empty authority, or a path that lost its "/" to a
  // drive letter ("file://srv/C:/x") after a non-empty one.
  const bool pathLooksLikeAuthority = authority.empty() && path.compare(0, 2, "//") == 0;
  const bool pathJoinsAuthority = !authority.empty() && !path.empty() && path[0] != '/';
  if (!scheme.empty() && !pathLooksLikeAuthority && !pathJoinsAuthority) {
    const URI again(joined);
    require(again.scheme() == scheme && again.authority() == authority && again.path() == path &&
            again.query() == query && again.fragment() == fragment);
  }
  return 0;
}
