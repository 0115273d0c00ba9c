// Downloads an http target into the run's download file, for input
// preparation.
#ifndef TESSAVO_ENGINE_DOWNLOAD_H_
#define TESSAVO_ENGINE_DOWNLOAD_H_

#include <string>

#include "engine/check_target.h"

// Fetches `target.location` with one GET over a connection of its own (user
// agent "Tessavo/1.30", 30 s per receive) into `download`, which is deleted
// first. Throws ConvertException with "ソケットエラー：" and the socket
// message, "ダウンロードに失敗", or "HTTPエラー：" and the status text for any
// status other than 200 (redirections included).
void downloadTarget(const CheckTarget& target, const std::string& download);

#endif  // TESSAVO_ENGINE_DOWNLOAD_H_
