#include "engine/download.h"

#include <cstdint>
#include <cstdio>

#include "engine/convert_exception.h"
#include "net/decimal_text.h"
#include "net/http_connection.h"
#include "net/http_header.h"
#include "net/socket_exception.h"
#include "net/uri.h"
#include "platform/file_handle.h"
#include "platform/local_text.h"
#include "platform/profile_reader.h"
#include "platform/settings_location.h"

namespace {

int positiveSetting(const char* key, int fallback) {
  const std::string text = platform::readProfileString(
      platform::settingsFilePath(), "Settings", key, "", platform::ProfileDialect::WxFileConfig);
  const int value = net::leadingDecimal(text.c_str());
  return value > 0 ? value : fallback;
}

// The failure's details, with the setting that decides a bound, so that the
// user knows what to change.
std::string failureDetails(const HttpConnection& connection, const DownloadSettings& settings) {
  switch (connection.failure()) {
    case HttpConnection::Failure::TookTooLong:
      return connection.failureText() + " (DownloadTimeout)";
    case HttpConnection::Failure::BodyTooLarge:
      return connection.failureText() + " (DownloadLimit " +
             std::to_string(settings.limitMegabytes) + " MB)";
    default:
      return connection.failureText();
  }
}

}  // namespace

DownloadSettings downloadSettingsFromProfile() {
  const DownloadSettings defaults;
  DownloadSettings settings;
  settings.timeoutSeconds = positiveSetting("DownloadTimeout", defaults.timeoutSeconds);
  settings.limitMegabytes = positiveSetting("DownloadLimit", defaults.limitMegabytes);
  return settings;
}

DownloadResult downloadTarget(const CheckTarget& target, const std::string& download,
                              const std::atomic<bool>* stop) {
  return downloadTarget(target, download, stop, downloadSettingsFromProfile());
}

DownloadResult downloadTarget(const CheckTarget& target, const std::string& download,
                              const std::atomic<bool>* stop, const DownloadSettings& settings) {
  // One connection per target: nothing carries over from the previous one.
  HttpConnection connection("Tessavo/1.30");
  HttpHeader header;
  bool got = false;
  try {
    connection.setTimeout(30000);
    connection.setTotalTimeout(settings.timeoutSeconds);
    connection.setBodyLimit(static_cast<std::int64_t>(settings.limitMegabytes) * 1024 * 1024);
    connection.setStopFlag(stop);
    // The body goes into a file made new for it, private to the user; the
    // connection then only writes into it.
    std::remove(download.c_str());
    platform::FileHandle().createNew(download);
    const URI uri(target.location);
    got = connection.get(uri, nullptr, header, download.c_str());
  } catch (const SocketException& failure) {
    throw ConvertException(platform::localText("ソケットエラー：") + failure.what());
  }
  if (!got) {
    throw ConvertException(platform::localText("ダウンロードに失敗：") +
                           failureDetails(connection, settings));
  }
  // Only 200 is a document; a redirection is an error like any other.
  if (header.status != 200) {
    throw ConvertException(platform::localText("HTTPエラー：") + header.statusText());
  }
  DownloadResult result;
  const auto type = header.fields.find("content-type");
  if (type != header.fields.end()) {
    result.contentType = type->second;
    result.charset = contentTypeCharset(type->second);
  }
  return result;
}
