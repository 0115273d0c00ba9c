// Downloads of http and https targets as the check run makes them: what
// reaches the validator, what fails with which line, and the bounds the
// profile sets.
#include "engine/download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/convert_exception.h"
#include "tests/net/python_http_server.h"
#include "tests/net/scripted_server.h"
#include "tests/net/test_certificates.h"
#include "tests/support/check_run_fixture.h"

namespace {

using Texts = std::vector<std::string>;

// Each test reads the profile of its own folder, never the user's.
class DownloadTest : public CheckRunTest {
 protected:
  void SetUp() override {
    CheckRunTest::SetUp();
    shell("mkdir -p '" + folder_ + "config/Marrowby'");
    ::setenv("XDG_CONFIG_HOME", (folder_ + "config").c_str(), 1);
    std::string message;
    certificates_ = testCertificates(&message);
    ASSERT_NE(certificates_, nullptr) << message;
  }
  void TearDown() override {
    ::unsetenv("XDG_CONFIG_HOME");
    CheckRunTest::TearDown();
  }

  void writeProfile(const std::string& settings) {
    writeFile(folder_ + "config/Marrowby/Tessavo.conf", "[Settings]\n" + settings);
  }

  // A validator that records each run and reports nothing.
  std::string recordingValidator() {
    return fakeValidator("v", "cat \"$in\" >> \"$DIR/seen\"; : > \"$err\"");
  }

  const TestCertificates* certificates_ = nullptr;
};

ConnectionScript answering(const std::string& response) {
  Reply reply;
  reply.pieces.push_back(response);
  return ConnectionScript{{reply}, false};
}

TEST_F(DownloadTest, HttpsTargetsAreCheckedLikeHttpOnes) {
  writeFile(docs() + "page.html", "<p>\x82\xA0</p>\n");
  PythonHttpServer plain(docs());
  PythonHttpServer secure(docs(), &certificates_->valid);
  ASSERT_TRUE(plain.available() && secure.available()) << "needs python3";
  target(TargetKind::Http, plain.url("/page.html"));
  target(TargetKind::Http, secure.url("/page.html"));
  check(recordingValidator());
  EXPECT_EQ(pane_.texts(), (Texts{"-------- " + plain.url("/page.html"), kNoDoctype,
                                  "-------- " + secure.url("/page.html"), kNoDoctype, "検査終了"}));
  EXPECT_EQ(readFile(folder_ + "seen"), "<p>\xA4\xA2</p>\r\n<p>\xA4\xA2</p>\r\n");
}

// A download that did not bring the whole document is never validated: its
// line says what went wrong instead.
TEST_F(DownloadTest, FailedDownloadsAreReportedNotValidated) {
  ScriptedServer cut({answering("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n<p>short")});
  ScriptedServer chunk(
      {answering("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "8\r\n<p>a</p>\r\n")});
  PeerOptions selfSigned;
  selfSigned.tls = &certificates_->selfSigned;
  ScriptedServer untrusted({answering("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")},
                           selfSigned);
  PeerOptions expired;
  expired.tls = &certificates_->expired;
  ScriptedServer old({answering("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")}, expired);
  target(TargetKind::Http, cut.url("/a.html"));
  target(TargetKind::Http, chunk.url("/b.html"));
  target(TargetKind::Http, untrusted.url("/c.html"));
  target(TargetKind::Http, old.url("/d.html"));
  check(recordingValidator());
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + cut.url("/a.html"),
                   "E: ダウンロードに失敗：the connection ended after 8 of 100 bytes",
                   "-------- " + chunk.url("/b.html"),
                   "E: ダウンロードに失敗：the connection ended before the last chunk",
                   "-------- " + untrusted.url("/c.html"),
                   "E: ソケットエラー：certificate verify failed (self-signed certificate)",
                   "-------- " + old.url("/d.html"),
                   "E: ソケットエラー：certificate verify failed (certificate has expired)",
                   "検査終了"}));
  EXPECT_FALSE(exists(folder_ + "seen"));
}

TEST_F(DownloadTest, ProfileBoundsTheTimeAndTheSize) {
  writeProfile("DownloadTimeout=1\nDownloadLimit=1\n");
  Reply endless;
  endless.pieces.push_back("HTTP/1.1 200 OK\r\n\r\n");
  endless.endless = std::string(64 * 1024, 'e');
  Reply trickle;
  trickle.pieces.push_back("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
  trickle.endless = "t";
  trickle.endlessPauseMs = 100;
  ScriptedServer big({ConnectionScript{{endless}, false}});
  ScriptedServer slow({ConnectionScript{{trickle}, false}});
  target(TargetKind::Http, big.url("/big.html"));
  target(TargetKind::Http, slow.url("/slow.html"));
  check(recordingValidator());
  EXPECT_EQ(
      pane_.texts(),
      (Texts{"-------- " + big.url("/big.html"),
             "E: ダウンロードに失敗：the body is larger than 1048576 bytes (DownloadLimit 1 MB)",
             "-------- " + slow.url("/slow.html"),
             "E: ダウンロードに失敗：no end within 1 seconds (DownloadTimeout)", "検査終了"}));
}

TEST_F(DownloadTest, SettingsFallBackToTheDefaults) {
  const struct {
    const char* profile;
    int timeout;
    int limit;
  } cases[] = {
      {"", 60, 64},
      {"DownloadTimeout=5\nDownloadLimit=200\n", 5, 200},
      {"DownloadTimeout=0\nDownloadLimit=-3\n", 60, 64},
      {"DownloadTimeout=soon\nDownloadLimit= 7 MB\n", 60, 7},
  };
  for (const auto& c : cases) {
    writeProfile(c.profile);
    const DownloadSettings settings = downloadSettingsFromProfile();
    EXPECT_EQ(settings.timeoutSeconds, c.timeout) << c.profile;
    EXPECT_EQ(settings.limitMegabytes, c.limit) << c.profile;
  }
}

// The caller learns how the server labelled the document.
TEST_F(DownloadTest, HandsBackTheContentType) {
  ScriptedServer server({answering("HTTP/1.1 200 OK\r\nContent-Type: text/html; "
                                   "charset=\"UTF-8\"\r\nContent-Length: 2\r\n\r\nok"),
                         answering("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok")});
  const CheckTarget page{TargetKind::Http, server.url("/")};
  const DownloadResult labelled = downloadTarget(page, temp() + "download");
  EXPECT_EQ(labelled.contentType, "text/html; charset=\"UTF-8\"");
  EXPECT_EQ(labelled.charset, "utf-8");
  EXPECT_EQ(readFile(temp() + "download"), "ok");
  const DownloadResult unlabelled = downloadTarget(page, temp() + "download");
  EXPECT_EQ(unlabelled.contentType, "");
  EXPECT_EQ(unlabelled.charset, "");
}

// "年" in EUC-JP is also a well-formed two-byte UTF-8 character: only the
// server's charset tells the run to keep it as UTF-8.
TEST_F(DownloadTest, ContentTypeCharsetDecidesTheEncoding) {
  const std::string page = "<p>\xC7\xAF</p>\n";
  ScriptedServer server(
      {answering("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n"
                 "Content-Length: " +
                 std::to_string(page.size()) + "\r\n\r\n" + page),
       answering("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                 std::to_string(page.size()) + "\r\n\r\n" + page)});
  target(TargetKind::Http, server.url("/labelled.html"));
  target(TargetKind::Http, server.url("/unlabelled.html"));
  check(fakeValidator("v", "echo \"$SP_ENCODING\" >> \"$DIR/encodings\"; : > \"$err\""));
  EXPECT_EQ(readFile(folder_ + "encodings"), "UTF-8\nEUC-JP\n");
}

TEST_F(DownloadTest, StopAbandonsTheDownload) {
  Reply silent;
  ScriptedServer server({ConnectionScript{{silent}, true}});
  std::atomic<bool> stop(false);
  std::string message;
  std::thread download([&] {
    try {
      downloadTarget(CheckTarget{TargetKind::Http, server.url("/")}, temp() + "download", &stop);
    } catch (const ConvertException& failure) {
      message = failure.what();
    }
  });
  const bool seen = server.requestSeen();
  stop = true;
  download.join();
  ASSERT_TRUE(seen);
  EXPECT_EQ(message, "ダウンロードに失敗：stopped");
}

// The window's stop and tessavo-check's SIGTERM reach a download through
// the run's stop request: a server that never answers keeps the run no
// longer than a second after the stop.
TEST_F(DownloadTest, StopDuringADownloadEndsTheRunWithinASecond) {
  Reply silent;
  ScriptedServer server({ConnectionScript{{silent}, true}});
  target(TargetKind::Http, server.url("/never.html"));
  CheckJob job = jobFor(recordingValidator());
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  ASSERT_TRUE(server.requestSeen()) << "the request never arrived";
  const auto stopped = std::chrono::steady_clock::now();
  run.stop();
  ASSERT_TRUE(pane_.waitUntilDone(std::chrono::seconds(1))) << "the stop took more than a second";
  waitForThreadEnd(run);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
  EXPECT_EQ(pane_.texts(), (Texts{"-------- " + server.url("/never.html"),
                                  "E: 検査を中断したため未完了", "検査終了"}));
  EXPECT_TRUE(run.incomplete());
  EXPECT_FALSE(exists(folder_ + "seen"));
}

}  // namespace
