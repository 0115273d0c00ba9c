#include "engine/target_construction.h"

#include <cstdio>
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

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What a URI text gives, and why not when it gives nothing.
enum class Verdict { Http, File, CutByCharacter, NoHost, UnknownScheme };

struct ReadUri {
  std::string text;  // without the blanks around it
  URI uri;
  Verdict verdict;
};

// The URI a text stands for. Blanks around it are dropped, as a pasted
// text often has them; anything else that would end the parse early is
// refused, so a text is never checked as less than it says.
ReadUri readUri(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  const std::string bare = text.substr(begin, end - begin);
  URI uri(bare);
  // An IPv6 address in brackets starts a text without scheme, although
  // its first ":" follows the bracket.
  if (uri.scheme().empty() || (!bare.empty() && bare[0] == '[')) {
    uri = URI(std::string("http:") + (uri.host().empty() ? "//" : "") + bare);
  }
  if (!uri.unparsed().empty()) return {bare, uri, Verdict::CutByCharacter};
  if (uri.schemeIs("http") || uri.schemeIs("https")) {
    // "http:///a" would come back as "http:/a", and neither names a server.
    return {bare, uri, uri.host().empty() ? Verdict::NoHost : Verdict::Http};
  }
  if (uri.schemeIs("file")) return {bare, uri, Verdict::File};
  return {bare, uri, Verdict::UnknownScheme};
}

// The byte that cut the parse, as the user should read it, and as it is
// written escaped.
std::string cutReason(char c) {
  char escaped[4];
  std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
  std::string shown;
  if (c == ' ') {
    shown = platform::localText("空白");
  } else if (c == '"' || c == '<' || c == '>') {
    shown = std::string(1, c);
  } else {
    shown = std::string("0x") + (escaped + 1);
  }
  return platform::localText("URIに使えない文字：") + shown + platform::localText("（") + escaped +
         platform::localText(" と書いてください）");
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
  const ReadUri read = readUri(text);
  switch (read.verdict) {
    case Verdict::Http:
      return std::make_unique<CheckTarget>(CheckTarget{TargetKind::Http, read.uri.toString()});
    case Verdict::File: {
      std::string path;
      if (!read.uri.authority().empty()) path = "//" + read.uri.authority();
      path += unescape(read.uri.path());
      return std::make_unique<CheckTarget>(CheckTarget{TargetKind::File, path});
    }
    default:
      return nullptr;
  }
}

std::string refusalOfUri(const std::string& text) {
  const ReadUri read = readUri(text);
  switch (read.verdict) {
    case Verdict::Http:
    case Verdict::File:
      return std::string();
    case Verdict::CutByCharacter:
      return cutReason(read.uri.unparsed()[0]);
    case Verdict::NoHost:
      return platform::localText("ホスト名がない（") + read.uri.scheme() +
             platform::localText("://ホスト名/… と書いてください）");
    case Verdict::UnknownScheme:
      break;
  }
  const std::string scheme = read.uri.scheme();
  if (looksLikeHostAndPort(read.uri, read.text)) {
    return platform::localText("未知のスキーム：") + scheme +
           platform::localText("（ホスト名とポートなら http://") + read.text +
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
