#include "net/http_connection.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "net/gzip_body.h"
#include "net/http_body.h"
#include "net/http_request.h"
#include "net/response_framing.h"
#include "platform/ascii_case.h"

namespace {

// The output file's own buffer, so that small pieces reach the disk in
// larger writes; blocks as large as it go straight through.
constexpr std::size_t kFileBufferSize = 64 * 1024;

enum class HeadRead { Read, TooLarge, Malformed };

// Reads one response head into `header` and `framing`, within `*budget`
// bytes (each line counts with one byte for its line end).
HeadRead readHead(SocketStream& stream, HttpHeader& header, ResponseFraming& framing,
                  std::size_t* budget) {
  header.clear();
  framing = ResponseFraming();
  std::string line;
  const SocketStream::LineStatus first = stream.readLine(&line, *budget);
  if (first == SocketStream::LineStatus::TooLong) return HeadRead::TooLarge;
  *budget -= line.size() < *budget ? line.size() + 1 : *budget;
  header.version = line.substr(0, 8);
  if (header.version != "HTTP/1.1") framing.closeAfter = true;
  // No response at all (a kept connection the server has closed) is status
  // 0; a status line without a proper code is a response that cannot be
  // trusted.
  header.status = first == SocketStream::LineStatus::Ended ? 0 : takeStatusLine(line, framing);
  if (!framing.fault.empty()) return HeadRead::Malformed;

  for (;;) {
    const SocketStream::LineStatus status = stream.readLine(&line, *budget);
    if (status == SocketStream::LineStatus::TooLong) return HeadRead::TooLarge;
    if (line.empty()) break;
    *budget -= line.size() < *budget ? line.size() + 1 : *budget;
    // A line that is no field ends the head; what follows counts as body.
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) break;
    const std::string name = platform::toLowerAscii(line.substr(0, colon));
    std::size_t valueStart = colon + 1;
    while (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
    const std::string value = line.substr(valueStart);
    header.fields.emplace(name, value);
    takeFramingField(name, value, framing);
  }
  return HeadRead::Read;
}

}  // namespace

HttpConnection::HttpConnection(const char* userAgent)
    : userAgent_(userAgent != nullptr ? userAgent : "") {}

HttpConnection::~HttpConnection() {
  stream_.close();
}

void HttpConnection::setTimeout(int milliseconds) {
  timeout_ = milliseconds < kMinTimeout   ? kMinTimeout
             : milliseconds > kMaxTimeout ? kMaxTimeout
                                          : milliseconds;
}

void HttpConnection::setNoReceiveTimeout() {
  timeout_ = 0;
}

void HttpConnection::setTotalTimeout(int seconds) {
  totalTimeoutSeconds_ = seconds;
}

void HttpConnection::setBodyLimit(std::int64_t bytes) {
  bodyLimit_ = bytes;
}

void HttpConnection::setStopFlag(const std::atomic<bool>* stop) {
  stop_ = stop;
}

void HttpConnection::forgetConnection() {
  stream_.close();
  connectedHost_.clear();
  connectedPort_ = -1;
}

bool HttpConnection::fail(Failure failure, std::string text) {
  failure_ = failure;
  failureText_ = std::move(text);
  return false;
}

bool HttpConnection::get(const URI& uri, const char* referer, HttpHeader& header,
                         const char* outputFile) {
  const Request request{outputFile != nullptr ? "GET" : "HEAD", referer, nullptr, nullptr};
  return transact(uri, request, Output{outputFile, nullptr}, header);
}

bool HttpConnection::post(const URI& uri, const std::string& contentType, const std::string& body,
                          HttpHeader& header, std::string* response) {
  response->clear();
  return transact(uri, Request{"POST", nullptr, &contentType, &body}, Output{nullptr, response},
                  header);
}

bool HttpConnection::transact(const URI& uri, const Request& request, const Output& output,
                              HttpHeader& header) {
  failure_ = Failure::None;
  failureText_.clear();
  const bool secure = uri.schemeIs("https");
  if (!secure && !uri.schemeIs("http")) {
    return fail(Failure::UnsupportedScheme, "the scheme \"" + uri.scheme() + "\" is not supported");
  }
  const int port = uri.port() != -1 ? uri.port() : secure ? 443 : 80;

  stream_.setTimeout(timeout_);
  stream_.setStopFlag(stop_);
  stream_.setDeadline(totalTimeoutSeconds_ > 0 ? std::chrono::steady_clock::now() +
                                                     std::chrono::seconds(totalTimeoutSeconds_)
                                               : std::chrono::steady_clock::time_point::max());
  try {
    return exchange(uri, secure, port, request, output, header);
  } catch (const SocketException& failure) {
    if (failure.message() == SocketException::kStopped) {
      forgetConnection();
      return fail(Failure::Stopped, "stopped");
    }
    if (failure.message() == SocketException::kDeadline) {
      forgetConnection();
      return fail(Failure::TookTooLong,
                  "no end within " + std::to_string(totalTimeoutSeconds_) + " seconds");
    }
    throw;
  }
}

bool HttpConnection::exchange(const URI& uri, bool secure, int port, const Request& request,
                              const Output& output, HttpHeader& header) {
  const std::string host = uri.host();
  if (!stream_.isOpen() || connectedHost_ != host || connectedPort_ != port ||
      connectedSecure_ != secure) {
    forgetConnection();
    stream_.open(host.c_str(), port, secure);
    if (!stream_.isOpen()) {
      return fail(Failure::CannotConnect, "cannot connect to " + host + ":" + std::to_string(port) +
                                              " (" + stream_.openFailure() + ")");
    }
    connectedHost_ = host;
    connectedPort_ = port;
    connectedSecure_ = secure;
  }

  if (request.body != nullptr) {
    const std::string head =
        httpPostHead(uri, port, userAgent_, *request.contentType, request.body->size());
    stream_.send(head.data(), static_cast<int>(head.size()));
    stream_.send(request.body->data(), static_cast<int>(request.body->size()));
  } else {
    const std::string head =
        httpRequestHead(request.method, uri, port, userAgent_, request.referer);
    stream_.send(head.data(), static_cast<int>(head.size()));
  }

  ResponseFraming framing;
  std::size_t budget = kHeadLimit;
  for (;;) {
    const HeadRead read = readHead(stream_, header, framing, &budget);
    if (read == HeadRead::TooLarge) {
      forgetConnection();
      return fail(Failure::HeadTooLarge,
                  "the response head is larger than " + std::to_string(kHeadLimit) + " bytes");
    }
    if (read == HeadRead::Malformed) {
      forgetConnection();
      return fail(Failure::Malformed, framing.fault);
    }
    // An interim response (100 Continue, 103 Early Hints) precedes the
    // real one on the same request.
    if (header.status < 100 || header.status > 199 || header.status == 101) break;
  }
  // 101 hands the connection over to another protocol.
  if (header.status == 101) framing.closeAfter = true;
  const bool bodyless = output.isNone() || (header.status >= 100 && header.status <= 199) ||
                        header.status == 204 || header.status == 304;

  // A body whose end cannot be told is not read; without a body the fields
  // about it do not matter.
  if (!bodyless && !framing.fault.empty()) {
    forgetConnection();
    return fail(framing.faultKind, framing.fault);
  }

  // The gzip layer comes off on the way, so the sink holds the document.
  const auto copyDocument = [this, &framing](std::ostream& sink) {
    if (!framing.gzip) return copyBody(stream_, framing.body, bodyLimit_, sink);
    GzipBody gzip(sink, bodyLimit_);
    std::ostream decoded(&gzip);
    HttpOutcome copied = copyBody(stream_, framing.body, bodyLimit_, decoded);
    // A failed decoding is why the copy stopped, whatever the copy says.
    if (!gzip.outcome().ok() || copied.ok()) copied = gzip.finish();
    return copied;
  };
  HttpOutcome outcome;
  if (output.file != nullptr) {
    std::unique_ptr<char[]> fileBuffer(new char[kFileBufferSize]);
    std::ofstream file;
    file.rdbuf()->pubsetbuf(fileBuffer.get(), kFileBufferSize);
    file.open(output.file, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file.is_open()) {
      forgetConnection();
      return fail(Failure::CannotWriteFile, std::string("cannot create ") + output.file);
    }
    if (!bodyless) outcome = copyDocument(file);
    file.close();
    if (outcome.ok() && file.fail()) {
      outcome.failure = Failure::CannotWriteFile;
      outcome.text = std::string("cannot write ") + output.file;
    }
  } else if (output.memory != nullptr && !bodyless) {
    std::ostringstream memory;
    outcome = copyDocument(memory);
    *output.memory = memory.str();
  }
  if (!outcome.ok()) {
    // The rest of the body may still be on the connection.
    forgetConnection();
    return fail(outcome.failure, outcome.text);
  }

  if (framing.closeAfter) stream_.close();
  return true;
}
