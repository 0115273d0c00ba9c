#include "engine/download.h"

#include <cstdio>

#include "engine/convert_exception.h"
#include "net/http_connection.h"
#include "net/http_header.h"
#include "net/socket_exception.h"
#include "net/uri.h"
#include "platform/file_handle.h"
#include "platform/local_text.h"

void downloadTarget(const CheckTarget& target, const std::string& download,
                    const std::atomic<bool>* stop) {
  // Not yet handed to the connection, which cannot be interrupted; the run
  // tests the request again as soon as the download returns.
  (void)stop;
  // One connection per target: nothing carries over from the previous one.
  HttpConnection connection("Tessavo/1.30");
  HttpHeader header;
  bool got = false;
  try {
    connection.setTimeout(30000);
    // The body goes into a file made new for it, private to the user; the
    // connection then only writes into it.
    std::remove(download.c_str());
    platform::FileHandle().createNew(download);
    const URI uri(target.location);
    got = connection.get(uri, nullptr, header, download.c_str());
  } catch (const SocketException& failure) {
    throw ConvertException(platform::localText("ソケットエラー：") + failure.what());
  }
  if (!got) throw ConvertException(platform::localText("ダウンロードに失敗"));
  // Only 200 is a document; a redirection is an error like any other.
  if (header.status != 200) {
    throw ConvertException(platform::localText("HTTPエラー：") + header.statusText());
  }
}
