#include "net/http_request.h"

std::string httpRequestHead(const char* method, const URI& uri, int port,
                            const std::string& userAgent, const char* referer) {
  const std::string path = uri.path();
  const std::string query = uri.query();
  std::string request;
  request.reserve(128 + 3 * path.size() + query.size() + userAgent.size());

  request += method;
  request += ' ';
  request += path.empty() ? std::string("/") : escape(path);
  if (!query.empty()) request += "?" + query;
  request += " HTTP/1.1\r\n";

  request += "Host: " + uri.host();
  if (port != (uri.schemeIs("https") ? 443 : 80)) request += ":" + std::to_string(port);
  request += "\r\n";

  request += "Accept: */*\r\nUser-Agent: " + userAgent + "\r\n";
  if (referer != nullptr && referer[0] != '\0') {
    request += "Referer: ";
    request += referer;
    request += "\r\n";
  }
  request += "\r\n";
  return request;
}

std::string httpPostHead(const URI& uri, int port, const std::string& userAgent,
                         const std::string& contentType, std::size_t length) {
  std::string request = httpRequestHead("POST", uri, port, userAgent, nullptr);
  // Before the empty line that ends the head.
  request.insert(request.size() - 2, "Content-Type: " + contentType +
                                         "\r\nContent-Length: " + std::to_string(length) + "\r\n");
  return request;
}
