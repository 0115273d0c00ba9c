// Why an HTTP download ended without its document: the orderly failures of
// HttpConnection::get(), each with a text that gives the details.
#ifndef TESSAVO_NET_HTTP_FAILURE_H_
#define TESSAVO_NET_HTTP_FAILURE_H_

#include <string>

enum class HttpFailure {
  None,
  UnsupportedScheme,  // neither http nor https
  CannotConnect,      // no address of the host took the connection
  CannotWriteFile,    // the output file cannot be opened or written
  HeadTooLarge,       // the response head outgrew its limit
  Malformed,          // a status line, length or chunk that breaks HTTP
  UnsupportedCoding,  // a transfer or content coding that is not decoded
  BodyCutShort,       // fewer bytes than announced, a cut chunk, no last chunk
  BodyTooLarge,       // the body outgrew the body limit
  TrailerTooLarge,    // a chunk-size line or the trailer outgrew its limit
  TookTooLong,        // the whole exchange outlasted the total time-out
  Stopped,            // the stop flag was set
};

// A failure and its details.
struct HttpOutcome {
  HttpFailure failure = HttpFailure::None;
  std::string text;

  bool ok() const { return failure == HttpFailure::None; }
};

#endif  // TESSAVO_NET_HTTP_FAILURE_H_
