// The request head HttpConnection sends for one download, built in one
// string that grows with it, so a URI of any length fits:
//
//   GET /a%20b?x=1 HTTP/1.1
//   Host: server:8080
//   Accept: */*
//   User-Agent: Tessavo/1.30
//   Referer: http://from/        (only when a referer is given)
//   (empty line)
//
// The request target is the escaped path ("/" when it is empty) followed by
// "?" and the query, unescaped. "Host" carries the port only when it is not
// the scheme's own (80, or 443 for https). Each line ends with CR LF; no other field is sent, so
// the connection stays persistent by HTTP/1.1 default. A pure function.
#ifndef TESSAVO_NET_HTTP_REQUEST_H_
#define TESSAVO_NET_HTTP_REQUEST_H_

#include <cstddef>
#include <string>

#include "net/uri.h"

// `method` is "GET" or "HEAD"; `port` is the port connected to; `referer`
// may be null or empty.
std::string httpRequestHead(const char* method, const URI& uri, int port,
                            const std::string& userAgent, const char* referer);

// The head of a POST whose body has `length` bytes of `contentType`: the
// head above with "POST", then "Content-Type" and "Content-Length" before
// the empty line.
std::string httpPostHead(const URI& uri, int port, const std::string& userAgent,
                         const std::string& contentType, std::size_t length);

#endif  // TESSAVO_NET_HTTP_REQUEST_H_
