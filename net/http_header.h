// The head of an HTTP response as HttpConnection reads it: the status
// code, the version text and the header fields.
//
// Field names are stored in lower case (ASCII letters only), values as they
// arrived after the leading spaces; of a field that occurs more than once the
// first value is kept. `status` is -1 until a response sets it and keeps its
// value through clear(). A plain value; the caller owns it and reads the
// members directly.
#ifndef TESSAVO_NET_HTTP_HEADER_H_
#define TESSAVO_NET_HTTP_HEADER_H_

#include <map>
#include <string>

class HttpHeader {
 public:
  HttpHeader() = default;
  virtual ~HttpHeader() = default;
  HttpHeader(const HttpHeader&) = default;
  HttpHeader& operator=(const HttpHeader&) = default;

  // Empties the fields and the version; the status stays.
  void clear();

  // The reason phrase of `status` ("Not Found"), or "(Unknown code)" for a
  // code that has none (-1 and 0 included).
  std::string statusText() const;

  std::map<std::string, std::string> fields;
  std::string version;  // the first 8 bytes of the status line, "HTTP/1.1"
  int status = -1;
};

// The charset parameter of a Content-Type value ("text/html; charset=UTF-8"
// gives "utf-8"): parameter names compare without regard to case, a quoted
// value loses its quotes and backslash escapes, and the result is in ASCII
// lower case. Empty when there is none.
std::string contentTypeCharset(const std::string& contentType);

#endif  // TESSAVO_NET_HTTP_HEADER_H_
