// Downloads an http or https target into the run's download file, for
// input preparation.
//
// Each download has a connection of its own (user agent "Tessavo/1.30",
// 30 s per receive) and the bounds of the user's profile (group
// "Settings"): "DownloadTimeout", the seconds the whole download may take
// (60 when unset), and "DownloadLimit", the megabytes (MiB) the body may
// have (64 when unset); a value that is not a positive number counts as
// unset. A stop flag, when given, abandons the download within a tenth of a
// second.
//
// Failures throw ConvertException with the fixed texts followed by the
// details: "ソケットエラー：" and the socket or TLS message ("Timeout",
// "certificate verify failed (self-signed certificate)"), "ダウンロードに失敗："
// and what went wrong (a body cut short, a limit reached, a stop, a
// response whose framing or coding cannot be trusted), or
// "HTTPエラー：" and the status text for any status other than 200
// (redirections included). After a failure the download file must not be
// used.
//
// Runs on the checking thread; only the stop flag is shared.
#ifndef TESSAVO_ENGINE_DOWNLOAD_H_
#define TESSAVO_ENGINE_DOWNLOAD_H_

#include <atomic>
#include <string>

#include "engine/check_target.h"

struct DownloadSettings {
  int timeoutSeconds = 60;
  int limitMegabytes = 64;
};

// The profile's values, read from the settings file each time.
DownloadSettings downloadSettingsFromProfile();

// What the server said about the document, for its conversion.
struct DownloadResult {
  // The Content-Type field as the server sent it, or empty.
  std::string contentType;
  // Its charset parameter, unquoted and in ASCII lower case ("utf-8",
  // "shift_jis"), or empty.
  std::string charset;
};

// Fetches `target.location` with one GET into `download`, which is made
// anew (empty, mode 0600) first, with the profile's settings. `stop` may be
// null.
DownloadResult downloadTarget(const CheckTarget& target, const std::string& download,
                              const std::atomic<bool>* stop = nullptr);
DownloadResult downloadTarget(const CheckTarget& target, const std::string& download,
                              const std::atomic<bool>* stop, const DownloadSettings& settings);

#endif  // TESSAVO_ENGINE_DOWNLOAD_H_
