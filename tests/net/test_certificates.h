// Certificates for TLS peers in tests, made once per test program with the
// `openssl` command in a private folder that is removed when the program
// ends.
//
// A test CA signs three server certificates: "valid" (for localhost,
// 127.0.0.1 and ::1), "wrongHost" (for wrong.example only) and "expired"
// (valid in January 2020 only, for the same names as "valid"); "selfSigned"
// names localhost and 127.0.0.1 but is signed by its own key. Every key is
// an EC P-256 key, which the openssl command makes in milliseconds.
//
// The TLS client reads its trusted CAs once per process, from SSL_CERT_FILE
// among others, so the first call points SSL_CERT_FILE at the test CA before
// any connection is made; every TLS test of the program shares that CA.
//
// Threads: call from the test's main thread.
#ifndef TESSAVO_TESTS_NET_TEST_CERTIFICATES_H_
#define TESSAVO_TESTS_NET_TEST_CERTIFICATES_H_

#include <string>

struct TlsIdentity {
  std::string certificate;  // PEM file
  std::string key;          // PEM file
};

struct TestCertificates {
  std::string caFile;
  TlsIdentity valid;
  TlsIdentity wrongHost;
  TlsIdentity expired;
  TlsIdentity selfSigned;
};

// The program's certificates, made on the first call; null when the
// openssl command is missing or failed (the message says why).
const TestCertificates* testCertificates(std::string* message);

#endif  // TESSAVO_TESTS_NET_TEST_CERTIFICATES_H_
