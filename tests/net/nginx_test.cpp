// HttpConnection against a real nginx on 127.0.0.1, plain and TLS: the
// framings and connection rules of a server that the client did not script.
// Skipped when nginx is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "download_folder.h"
#include "net/http_connection.h"
#include "nginx_server.h"
#include "test_certificates.h"

namespace {

namespace fs = std::filesystem;

const char kAgent[] = "Tessavo/1.30";

class NginxTest : public DownloadFolderTest {
 protected:
  void SetUp() override {
    DownloadFolderTest::SetUp();
    std::string message;
    const TestCertificates* certificates = testCertificates(&message);
    ASSERT_NE(certificates, nullptr) << message;
    fs::create_directories(folder_ / "site" / "dir");
    std::mt19937 bytes(5);
    content_.resize(700000);
    for (char& c : content_) c = static_cast<char>(bytes());
    std::ofstream(folder_ / "site" / "data.bin", std::ios::binary) << content_;
    std::ofstream(folder_ / "site" / "page.html", std::ios::binary) << kPage;
    nginx_ = std::make_unique<NginxServer>((folder_ / "site").string(), certificates->valid);
    if (!nginx_->available()) GTEST_SKIP() << nginx_->problem();
  }
  void TearDown() override {
    nginx_.reset();
    DownloadFolderTest::TearDown();
  }

  static constexpr const char* kPage =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<p>x\n";
  std::string content_;
  std::unique_ptr<NginxServer> nginx_;
};

// One connection carries every request, whatever the framing of the
// response before: nginx numbers its connections, and the number stays.
TEST_F(NginxTest, KeepsOneConnectionThroughEveryKindOfResponse) {
  for (bool secure : {false, true}) {
    const auto url = [&](const char* path) {
      return URI(secure ? nginx_->secureUrl(path) : nginx_->url(path));
    };
    const char* transport = secure ? "https" : "http";
    HttpConnection connection(kAgent);
    connection.setTimeout(120000);  // a wait for a body that never comes would show
    HttpHeader header;

    ASSERT_TRUE(connection.get(url("/data.bin"), nullptr, header, output().c_str()))
        << transport << ": " << connection.failureText();
    EXPECT_EQ(header.status, 200) << transport;
    EXPECT_EQ(header.fields["content-length"], "700000") << transport;
    EXPECT_TRUE(body() == content_) << transport;
    const std::string first = header.fields["x-connection"];
    ASSERT_FALSE(first.empty()) << transport;

    ASSERT_TRUE(connection.get(url("/chunked/page.html"), nullptr, header, output().c_str()))
        << transport << ": " << connection.failureText();
    EXPECT_EQ(header.fields["transfer-encoding"], "chunked") << transport;
    EXPECT_EQ(body(), kPage) << transport;

    ASSERT_TRUE(connection.get(url("/not-modified"), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 304) << transport;
    EXPECT_EQ(body(), "") << transport;

    ASSERT_TRUE(connection.get(url("/no-content"), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 204) << transport;

    ASSERT_TRUE(connection.get(url("/data.bin"), nullptr, header, nullptr));
    EXPECT_EQ(header.status, 200) << transport;

    ASSERT_TRUE(connection.get(url("/missing.html"), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 404) << transport;
    EXPECT_NE(body().find("404"), std::string::npos) << transport;

    // A folder without its slash is redirected, and the redirection is not
    // followed.
    ASSERT_TRUE(connection.get(url("/dir"), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 301) << transport;
    EXPECT_EQ(header.statusText(), "Moved Permanently") << transport;

    ASSERT_TRUE(connection.get(url("/page.html"), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 200) << transport;
    EXPECT_EQ(header.fields["x-connection"], first) << transport;
  }
}

}  // namespace
