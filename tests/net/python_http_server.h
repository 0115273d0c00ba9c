// `python3 -m http.server` serving one folder on 127.0.0.1, at a port the
// system picks, as a real peer for the HTTP client. Its responses are
// HTTP/1.0 with a Content-Length and end with the connection. Given a TLS
// identity, the same server runs behind Python's `ssl` module instead, so
// that it answers https.
//
// The server runs under `timeout` so that it cannot outlive a crashed test
// for long; the destructor stops it and waits for it. available() is false
// when python3 could not be started.
#ifndef TESSAVO_TESTS_NET_PYTHON_HTTP_SERVER_H_
#define TESSAVO_TESTS_NET_PYTHON_HTTP_SERVER_H_

#include <cstdio>
#include <string>

#include "test_certificates.h"

class PythonHttpServer {
 public:
  explicit PythonHttpServer(const std::string& folder, const TlsIdentity* tls = nullptr);
  ~PythonHttpServer();
  PythonHttpServer(const PythonHttpServer&) = delete;
  PythonHttpServer& operator=(const PythonHttpServer&) = delete;

  bool available() const { return port_ > 0; }
  int port() const { return port_; }
  // "http://127.0.0.1:<port>" (https with TLS) followed by `path`.
  std::string url(const std::string& path) const;

 private:
  bool secure_ = false;
  std::FILE* output_ = nullptr;
  std::string pid_;
  int port_ = 0;
};

#endif  // TESSAVO_TESTS_NET_PYTHON_HTTP_SERVER_H_
