#include "engine/html5_invocation.h"

#include <cstdint>

#include "net/http_header.h"
#include "net/socket_exception.h"
#include "net/uri.h"
#include "platform/ascii_case.h"
#include "platform/file_handle.h"
#include "platform/local_text.h"

namespace {

const char kHtml[] = "text/html";
const char kXhtml[] = "application/xhtml+xml";

// The most bytes an answer may have: far beyond any list of messages, but
// a bound on what a broken service can make the program hold.
constexpr std::int64_t kAnswerLimit = 256 * 1024 * 1024;

// The media type of a Content-Type value, in ASCII lower case.
std::string mediaType(const std::string& contentType) {
  std::string type = contentType.substr(0, contentType.find(';'));
  const std::size_t first = type.find_first_not_of(" \t");
  const std::size_t last = type.find_last_not_of(" \t");
  type = first == std::string::npos ? std::string() : type.substr(first, last - first + 1);
  return platform::toLowerAscii(type);
}

// The whole file, or false with `*failure` set.
bool readDocument(const std::string& path, std::int64_t limit, std::string* document,
                  std::string* failure) {
  platform::FileHandle file;
  if (!file.openRegularForReading(path)) {
    *failure = platform::localText("入力ファイルを開けない: ") + path;
    return false;
  }
  document->clear();
  char block[64 * 1024];
  for (;;) {
    const long got = file.read(block, sizeof block);
    if (got == 0) return true;
    if (got < 0) {
      *failure = platform::localText("入力ファイルを読めない: ") + path + ": " +
                 platform::errorText(file.error());
      return false;
    }
    document->append(block, static_cast<std::size_t>(got));
    if (static_cast<std::int64_t>(document->size()) > limit) {
      *failure = platform::localText("HTML5 チェッカーに渡すには大きすぎる: ") + path +
                 " (DownloadLimit " + std::to_string(limit / (1024 * 1024)) + " MB)";
      return false;
    }
  }
}

}  // namespace

bool goesToHtml5Checker(const kanji::DocumentAnalysis& analysis) {
  return analysis.dtd != kanji::DtdKind::Declared;
}

std::string html5ContentType(const kanji::DocumentAnalysis& analysis,
                             const std::string& httpContentType) {
  const std::string type = mediaType(httpContentType);
  if (type == kHtml || type == kXhtml) return httpContentType;
  // Only XHTML is XML to the checker: an XML page of no namespace, or of
  // another, is HTML to every browser that opens the file.
  std::string chosen =
      analysis.syntax == kanji::MarkupSyntax::Xml && analysis.xhtmlNamespace ? kXhtml : kHtml;
  const std::string charset = contentTypeCharset(httpContentType);
  if (!charset.empty()) chosen += "; charset=" + charset;
  return chosen;
}

Html5Invocation::Html5Invocation(Html5Checker& checker)
    : checker_(checker), connection_("Tessavo/1.30") {
  // The checker may think about a large page for minutes without a byte
  // sent; only ValidatorTimeout (none when 0) and Stop bound an answer, as
  // they bound the SGML validator.
  connection_.setNoReceiveTimeout();
  connection_.setBodyLimit(kAnswerLimit);
}

Html5Answer Html5Invocation::check(const std::string& path, const std::string& contentType,
                                   const std::atomic<bool>& stop, int timeoutSeconds) {
  Html5Answer answer;
  std::string document;
  if (!readDocument(path, checker_.settings().documentLimit, &document, &answer.failure)) {
    return answer;
  }
  connection_.setStopFlag(&stop);
  connection_.setTotalTimeout(timeoutSeconds);
  std::string failure;
  // A second try only for a kept connection that the service closed while
  // it was idle: the request then fails at once, with nothing answered.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int port = checker_.port(stop, timeoutSeconds, &answer.failure);
    if (port == 0) {
      if (answer.failure.empty()) answer.end = Html5Answer::End::Stopped;
      return answer;
    }
    HttpHeader header;
    bool got = false;
    try {
      const URI uri("http://127.0.0.1:" + std::to_string(port) + "/?out=json");
      got = connection_.post(uri, contentType, document, header, &answer.json);
      failure = connection_.failureText();
    } catch (const SocketException& thrown) {
      failure = thrown.what();
    }
    if (stop.load() || connection_.failure() == HttpConnection::Failure::Stopped) {
      answer.end = Html5Answer::End::Stopped;
      return answer;
    }
    if (got && header.status == 200) {
      answer.end = Html5Answer::End::Answered;
      return answer;
    }
    if (connection_.failure() == HttpConnection::Failure::TookTooLong) {
      answer.failure = platform::localText("HTML5 チェッカーが時間切れ: ") +
                       std::to_string(timeoutSeconds) + platform::localText(" 秒");
      return answer;
    }
    answer.failure = checker_.endedReason();
    if (!answer.failure.empty()) return answer;
    if (got && header.status > 0) {
      answer.failure = platform::localText("HTML5 チェッカーが失敗: HTTP ") +
                       std::to_string(header.status) + " " + header.statusText();
      return answer;
    }
    if (failure.empty()) failure = "no answer";
  }
  answer.failure = platform::localText("HTML5 チェッカーが応答しない: ") + failure;
  return answer;
}
