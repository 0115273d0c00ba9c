#include "engine/target_construction.h"

#include "files/file_name.h"
#include "net/uri.h"
#include "platform/profile_reader.h"

std::unique_ptr<CheckTarget> targetFromPath(const std::string& path) {
  if (FileName(path).extension(true) != "url") {
    return std::make_unique<CheckTarget>(CheckTarget{TargetKind::File, path});
  }
  // An Internet shortcut stands for the URI it holds; the shortcut file
  // itself is never checked.
  return targetFromUri(platform::readProfileString(path, "InternetShortcut", "URL", "?"));
}

std::unique_ptr<CheckTarget> targetFromUri(const std::string& text) {
  URI uri(text);
  if (uri.scheme().empty()) {
    uri = URI(std::string("http:") + (uri.host().empty() ? "//" : "") + text);
  }
  if (uri.scheme() == "http") {
    return std::make_unique<CheckTarget>(CheckTarget{TargetKind::Http, uri.toString()});
  }
  if (uri.scheme() == "file") {
    std::string path;
    if (!uri.authority().empty()) path = "//" + uri.authority();
    path += unescape(uri.path());
    return std::make_unique<CheckTarget>(CheckTarget{TargetKind::File, path});
  }
  return nullptr;
}
