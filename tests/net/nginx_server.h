// A real nginx on 127.0.0.1 as a peer for the HTTP client: started by the
// test with a private configuration, prefix and ports, plain and TLS, and
// stopped (and waited for) by the destructor.
//
// It serves `folder` as its root and answers a few fixed locations:
//   /not-modified  304 without a body
//   /no-content    204
//   /chunked/...   the file under the root, with its length unknown to
//                  nginx (a substitution filter), so sent chunked
// Every response carries "X-Connection", nginx's number for the connection,
// so a test can see whether a connection was kept.
//
// available() is false when nginx is not installed or did not start; tests
// then skip. nginx runs under `timeout`, so it cannot outlive a crashed test
// for long. Threads: the test's main thread.
#ifndef TESSAVO_TESTS_NET_NGINX_SERVER_H_
#define TESSAVO_TESTS_NET_NGINX_SERVER_H_

#include <cstdio>
#include <string>

#include "test_certificates.h"

class NginxServer {
 public:
  NginxServer(const std::string& folder, const TlsIdentity& identity);
  ~NginxServer();
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  bool available() const { return available_; }
  // Why it is not available.
  const std::string& problem() const { return problem_; }
  // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>", then `path`.
  std::string url(const std::string& path) const;
  std::string secureUrl(const std::string& path) const;

 private:
  std::string prefix_;
  std::FILE* process_ = nullptr;
  std::string pid_;
  int port_ = 0;
  int securePort_ = 0;
  bool available_ = false;
  std::string problem_;
};

#endif  // TESSAVO_TESTS_NET_NGINX_SERVER_H_
