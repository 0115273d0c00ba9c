#include "engine/target_construction.h"

#include "files/file_name.h"
#include "net/uri.h"
#include "platform/local_text.h"
#include "platform/profile_reader.h"

namespace {

// The shortcut's URI text: the "URL" value, or "?" when there is none.
std::string shortcutUri(const std::string& path) {
  return platform::readProfileString(path, "InternetShortcut", "URL", "?");
}

bool isShortcut(const std::string& path) {
  return FileName(path).extension(true) == "url";
}

// A URI whose scheme the user may have meant as a host name: "host:8080"
// followed by nothing, a path, a query or a fragment.
bool looksLikeHostAndPort(const URI& uri, const std::string& text) {
  const std::string rest = text.substr(uri.scheme().size() + 1);
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
  return digits > 0 && (digits == rest.size() || rest[digits] == '/' || rest[digits] == '?' ||
                        rest[digits] == '#');
}

}  // namespace

std::unique_ptr<CheckTarget> targetFromPath(const std::string& path) {
  if (!isShortcut(path)) {
    return std::make_unique<CheckTarget>(CheckTarget{TargetKind::File, path});
  }
  // An Internet shortcut stands for the URI it holds; the shortcut file
  // itself is never checked.
  return targetFromUri(shortcutUri(path));
}

std::unique_ptr<CheckTarget> targetFromUri(const std::string& text) {
  URI uri(text);
  // An IPv6 address in brackets starts a text without scheme, although
  // its first ":" follows the bracket.
  if (uri.scheme().empty() || (!text.empty() && text[0] == '[')) {
    uri = URI(std::string("http:") + (uri.host().empty() ? "//" : "") + text);
  }
  if (uri.schemeIs("http") || uri.schemeIs("https")) {
    return std::make_unique<CheckTarget>(CheckTarget{TargetKind::Http, uri.toString()});
  }
  if (uri.schemeIs("file")) {
    std::string path;
    if (!uri.authority().empty()) path = "//" + uri.authority();
    path += unescape(uri.path());
    return std::make_unique<CheckTarget>(CheckTarget{TargetKind::File, path});
  }
  return nullptr;
}

std::string refusalOfUri(const std::string& text) {
  if (targetFromUri(text)) return std::string();
  // Only a scheme other than the three gives nothing, and a URI without
  // one is read as http: the scheme is there and not empty.
  const URI uri(text);
  const std::string& scheme = uri.scheme();
  if (looksLikeHostAndPort(uri, text)) {
    return platform::localText("未知のスキーム：") + scheme +
           platform::localText("（ホスト名とポートなら http://") + text +
           platform::localText(" と書いてください）");
  }
  return platform::localText("未知のスキーム：") + scheme +
         platform::localText("（検査できるのは http、https、file のURIです）");
}

std::string refusalOfPath(const std::string& path) {
  if (!isShortcut(path)) return std::string();
  const std::string uri = shortcutUri(path);
  const std::string refusal = refusalOfUri(uri);
  if (refusal.empty()) return refusal;
  return refusal + platform::localText("：") + uri;
}
