#include "engine/target_construction.h"

#include <optional>

#include "files/file_name.h"
#include "net/uri.h"
#include "platform/file_handle.h"
#include "platform/local_text.h"
#include "platform/profile_reader.h"

namespace {

// A shortcut is a few lines; a larger file is read only this far.
constexpr std::size_t kShortcutLimit = 64 * 1024;

// What a shortcut file gave: its "URL" value, or why there is none.
struct Shortcut {
  bool readable = false;
  int error = 0;  // when not readable
  std::optional<std::string> uri;
};

// Only a regular file is read, without waiting: a FIFO or a device named
// ".url" would otherwise hold the program or feed it without end.
Shortcut readShortcut(const std::string& path) {
  Shortcut shortcut;
  std::string contents;
  shortcut.readable = platform::readRegularFile(path, kShortcutLimit, &contents, &shortcut.error);
  if (shortcut.readable) shortcut.uri = platform::profileValue(contents, "InternetShortcut", "URL");
  return shortcut;
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
  const Shortcut shortcut = readShortcut(path);
  if (!shortcut.uri) return nullptr;
  return targetFromUri(*shortcut.uri);
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
  const Shortcut shortcut = readShortcut(path);
  if (!shortcut.readable) {
    return platform::localText("入力ファイルを開けない") + ": " + path + ": " +
           platform::openFailureText(shortcut.error);
  }
  if (!shortcut.uri) return platform::localText("ショートカットにURLがない");
  const std::string refusal = refusalOfUri(*shortcut.uri);
  if (refusal.empty()) return refusal;
  return refusal + platform::localText("：") + *shortcut.uri;
}
