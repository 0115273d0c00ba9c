// What a response head says about its body and its connection, read so that
// a body that is not what it claims to be is never taken for a document.
//
// The status line must hold a three-digit status code after the version and
// one blank ("HTTP/1.1 200 OK", the reason phrase may be missing); "HTTP/1.1
// 2000" or "HTTP/1.1 20" holds none. Content-Length must be one decimal
// number, or a list of equal ones ("10, 10"), and every Content-Length field
// must give the same number. A coding must not stand between the body and
// the document unless it is undone: Transfer-Encoding may only be
// "chunked", Content-Encoding only "identity" and one "gzip" (or its old
// name "x-gzip"), which is decoded (net/gzip_body.h). A field value is
// compared without its surrounding blanks and tabs, and names of codings
// without regard to ASCII case. The first fault found is kept, in words,
// and the body must then not be read.
//
// Functions over one head, kept by the caller; any thread.
#ifndef TESSAVO_NET_RESPONSE_FRAMING_H_
#define TESSAVO_NET_RESPONSE_FRAMING_H_

#include <string>

#include "net/http_body.h"

struct ResponseFraming {
  BodyFraming body;
  bool closeAfter = false;
  // Why the body cannot be used ("two different Content-Length values
  // (10 and 158)"); empty while nothing is wrong.
  std::string fault;
  HttpFailure faultKind = HttpFailure::None;
  // The body is gzip data, to be decoded into the file.
  bool gzip = false;
};

// The start of a text from the server, fit for a message: in quotes, at
// most 40 bytes, every byte that is not printable ASCII shown as "?".
std::string shownServerText(const std::string& text);

// The status code of the status line `line`; 0, with the fault, when it
// holds no three-digit code where one belongs.
int takeStatusLine(const std::string& line, ResponseFraming& framing);

// Takes one header field (`name` in lower case, `value` as it arrived after
// the leading blanks) into `framing`.
void takeFramingField(const std::string& name, const std::string& value, ResponseFraming& framing);

#endif  // TESSAVO_NET_RESPONSE_FRAMING_H_
