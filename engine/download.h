// Downloads an http target into the run's download file, for input
// preparation.
#ifndef TESSAVO_ENGINE_DOWNLOAD_H_
#define TESSAVO_ENGINE_DOWNLOAD_H_

#include <atomic>
#include <string>

#include "engine/check_target.h"

// Fetches `target.location` with one GET over a connection of its own (user
// agent "Tessavo/1.30", 30 s per receive) into `download`, which is made
// anew (empty, mode 0600) first. `stop` (may be null) is the run's stop
// request: once it is set the download is to be abandoned. Throws
// ConvertException with "ソケットエラー：" and the socket message,
// "ダウンロードに失敗", or "HTTPエラー：" and the status text for
// any status other than 200 (redirections included).
void downloadTarget(const CheckTarget& target, const std::string& download,
                    const std::atomic<bool>* stop);

#endif  // TESSAVO_ENGINE_DOWNLOAD_H_
