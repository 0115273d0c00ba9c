// https downloads: Python's ssl server and the scripted server presenting
// certificates of a test CA (tests/net/test_certificates.h).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "download_folder.h"
#include "net/http_connection.h"
#include "python_http_server.h"
#include "scripted_server.h"
#include "test_certificates.h"

namespace {

namespace fs = std::filesystem;

const char kAgent[] = "Tessavo/1.30";

class HttpsTest : public DownloadFolderTest {
 protected:
  void SetUp() override {
    DownloadFolderTest::SetUp();
    std::string message;
    certificates_ = testCertificates(&message);
    ASSERT_NE(certificates_, nullptr) << message;
    fs::create_directories(folder_ / "site");
  }

  const TestCertificates* certificates_ = nullptr;
};

TEST_F(HttpsTest, DownloadsFromPythonSslServer) {
  std::mt19937 random(11);
  std::string content(300000, '\0');
  for (char& c : content) c = static_cast<char>(random());
  std::ofstream(folder_ / "site" / "data.bin", std::ios::binary) << content;
  PythonHttpServer python((folder_ / "site").string(), &certificates_->valid);
  ASSERT_TRUE(python.available()) << "the python3 ssl server did not start";

  HttpConnection connection(kAgent);
  HttpHeader header;
  ASSERT_TRUE(connection.get(URI(python.url("/data.bin")), nullptr, header, output().c_str()))
      << connection.failureText();
  EXPECT_EQ(header.status, 200);
  EXPECT_EQ(header.version, "HTTP/1.0");
  EXPECT_TRUE(body() == content);

  // The scheme in capitals, and the name instead of the address.
  const std::string byName = "HTTPS://localhost:" + std::to_string(python.port()) + "/missing.html";
  ASSERT_TRUE(connection.get(URI(byName), nullptr, header, output().c_str()));
  EXPECT_EQ(header.status, 404);
  EXPECT_EQ(header.statusText(), "Not Found");

  ASSERT_TRUE(connection.get(URI(python.url("/data.bin")), nullptr, header, nullptr));
  EXPECT_EQ(header.fields["content-length"], "300000");
}

// Each failure names its reason in the words of the TLS library, and the
// server never sees a request.
TEST_F(HttpsTest, UntrustedServersAreRefusedWithTheReason) {
  const struct {
    const char* name;
    const TlsIdentity* identity;
    const char* reason;
  } cases[] = {
      {"wrong host", &certificates_->wrongHost, "certificate verify failed (IP address mismatch)"},
      {"expired", &certificates_->expired, "certificate verify failed (certificate has expired)"},
      {"self-signed", &certificates_->selfSigned,
       "certificate verify failed (self-signed certificate)"},
  };
  std::ofstream(folder_ / "site" / "a.html") << "<p>a</p>\n";
  for (const auto& c : cases) {
    PythonHttpServer python((folder_ / "site").string(), c.identity);
    ASSERT_TRUE(python.available()) << c.name;
    HttpConnection connection(kAgent);
    HttpHeader header;
    try {
      connection.get(URI(python.url("/a.html")), nullptr, header, output().c_str());
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const SocketException& e) {
      EXPECT_STREQ(e.what(), c.reason) << c.name;
    }
    EXPECT_EQ(header.status, -1) << c.name;
    EXPECT_FALSE(fs::exists(output())) << c.name;
  }
}

// Kept connections are kept per scheme: http and https to one port are two
// connections.
TEST_F(HttpsTest, KeepsSecureConnectionsApartFromPlainOnes) {
  Reply first;
  first.pieces = {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\none"};
  Reply second;
  second.pieces = {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\ntwo\r\n0\r\n\r\n"};
  PeerOptions options;
  options.tls = &certificates_->valid;
  ScriptedServer server({ConnectionScript{{first, second}, true}, ConnectionScript{}}, options);
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    ASSERT_TRUE(connection.get(URI(server.url("/1")), nullptr, header, output().c_str()));
    EXPECT_EQ(body(), "one");
    ASSERT_TRUE(connection.get(URI(server.url("/2")), nullptr, header, output().c_str()));
    EXPECT_EQ(body(), "two");
    // The same host and port without TLS is another connection, which the
    // TLS server drops.
    connection.setTimeout(5000);
    const std::string plain = "http://127.0.0.1:" + std::to_string(server.port()) + "/3";
    try {
      EXPECT_TRUE(connection.get(URI(plain), nullptr, header, output().c_str()));
      EXPECT_EQ(header.status, 0);
    } catch (const SocketException& e) {
      EXPECT_STREQ(e.what(), "recv() failed");
    }
  }
  const std::vector<std::string> requests = server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].rfind("GET /2 HTTP/1.1\r\nHost: 127.0.0.1:", 0), 0u) << requests[1];
}

// A body that only the end of the connection delimits is whole only when
// the server ends the session with its closing alert: a cut there would
// otherwise pass for the whole document. Where a length or the chunks
// delimit the body, a missing alert after it does not matter.
TEST_F(HttpsTest, EndWithoutCloseNotifyCutsABodyThatRunsToTheEnd) {
  const struct {
    const char* response;
    bool cut;
    bool whole;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n<p>part", true, false},
      {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n<p>part", false, true},
      {"HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 7\r\n\r\n<p>part", true, true},
  };
  PeerOptions options;
  options.tls = &certificates_->valid;
  for (const auto& c : cases) {
    ConnectionScript script = answering({c.response}, false);
    script.cutTls = c.cut;
    ScriptedServer server({script}, options);
    HttpConnection connection(kAgent);
    HttpHeader header;
    EXPECT_EQ(connection.get(URI(server.url("/")), nullptr, header, output().c_str()), c.whole)
        << c.response << c.cut;
    if (!c.whole) {
      EXPECT_EQ(connection.failure(), HttpConnection::Failure::BodyCutShort);
      EXPECT_EQ(connection.failureText(),
                "the TLS connection ended without close_notify after 7 bytes");
    }
    EXPECT_EQ(body(), "<p>part");
  }
}

}  // namespace
