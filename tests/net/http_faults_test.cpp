// HttpConnection against servers that misbehave: bodies without end, heads
// without end, trickles, silence, and the bounds that end each of them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "download_folder.h"
#include "net/http_connection.h"
#include "scripted_server.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Failure = HttpConnection::Failure;

const char kAgent[] = "Tessavo/1.30";

ConnectionScript endless(const std::string& first, const std::string& again, int pauseMs = 0) {
  Reply reply;
  reply.pieces.push_back(first);
  reply.endless = again;
  reply.endlessPauseMs = pauseMs;
  return ConnectionScript{{reply}, false};
}

using HttpFaultsTest = DownloadFolderTest;

// Each bound ends its fault with its own failure, and never lets more than
// the limit reach the disk.
TEST_F(HttpFaultsTest, LimitsEndEndlessResponses) {
  const std::string block(16 * 1024, 'z');
  const struct {
    const char* name;
    ConnectionScript script;
    std::int64_t bodyLimit;
    int totalSeconds;
    Failure failure;
    const char* file = nullptr;  // the output file, when not the test's own
  } cases[] = {
      {"endless body without a length", endless("HTTP/1.1 200 OK\r\n\r\n", block), 1000000, 0,
       Failure::BodyTooLarge},
      {"endless chunked body",
       endless("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
               "4000\r\n" + block + "\r\n"),
       1000000, 0, Failure::BodyTooLarge},
      {"a length beyond the limit is refused before the body",
       answering({"HTTP/1.1 200 OK\r\nContent-Length: 1000001\r\n\r\n"}, true), 1000000, 0,
       Failure::BodyTooLarge},
      {"a chunk beyond the limit is refused before its data",
       answering({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nF4241\r\n"}, true), 1000000,
       0, Failure::BodyTooLarge},
      {"endless head", endless("HTTP/1.1 200 OK\r\n", "X-More: header\r\n"), 0, 0,
       Failure::HeadTooLarge},
      {"endless header line", endless("HTTP/1.1 200 OK\r\nX-Long: ", block), 0, 0,
       Failure::HeadTooLarge},
      {"endless trailer",
       endless("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n", "T: x\r\n"), 0, 0,
       Failure::TrailerTooLarge},
      {"a trickling body, each byte well within the time-out",
       endless("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n", "x", 100), 0, 1,
       Failure::TookTooLong},
      {"a trickling head", endless("HTTP/1.1 200 OK\r\n", "X", 100), 0, 1, Failure::TookTooLong},
      // Into /dev/null: a second at full speed would fill a disk.
      {"endless body at full speed", endless("HTTP/1.1 200 OK\r\n\r\n", block), 0, 1,
       Failure::TookTooLong, "/dev/null"},
  };
  for (const auto& c : cases) {
    ScriptedServer server({c.script});
    HttpConnection connection(kAgent);
    connection.setTimeout(5000);
    connection.setBodyLimit(c.bodyLimit);
    connection.setTotalTimeout(c.totalSeconds);
    HttpHeader header;
    const std::string file = c.file != nullptr ? c.file : output();
    EXPECT_FALSE(connection.get(URI(server.url("/")), nullptr, header, file.c_str())) << c.name;
    EXPECT_EQ(connection.failure(), c.failure) << c.name << ": " << connection.failureText();
    if (c.bodyLimit > 0) {
      EXPECT_LE(bodySize(), static_cast<std::uintmax_t>(c.bodyLimit)) << c.name;
    }
  }
}

TEST_F(HttpFaultsTest, FailureTextsNameTheDetails) {
  const struct {
    std::string response;
    std::int64_t bodyLimit;
    const char* text;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", 0,
       "the connection ended after 3 of 10 bytes"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\nabcd", 0,
       "the connection ended inside a chunk, after 4 of 16 bytes"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n", 0,
       "the connection ended before the last chunk"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n", 10,
       "a body of 11 bytes makes the body larger than 10 bytes"},
      {"HTTP/1.1 200 OK\r\n\r\n0123456789a", 10, "the body is larger than 10 bytes"},
  };
  for (const auto& c : cases) {
    ScriptedServer server(c.response);
    HttpConnection connection(kAgent);
    connection.setBodyLimit(c.bodyLimit);
    HttpHeader header;
    EXPECT_FALSE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()))
        << c.response;
    EXPECT_EQ(connection.failureText(), c.text) << c.response;
  }
}

// Responses that cannot have a body leave the connection ready for the
// next request at once, although the server keeps it open.
TEST_F(HttpFaultsTest, BodilessResponsesKeepTheConnection) {
  ScriptedServer server(
      {answering({"HTTP/1.1 304 Not Modified\r\nETag: \"1\"\r\n\r\n",
                  "HTTP/1.1 204 No Content\r\n\r\n", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n",
                  "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nlast"},
                 true)});
  {
    HttpConnection connection(kAgent);
    connection.setTimeout(120000);  // waiting for a body would hang the test
    HttpHeader header;
    ASSERT_TRUE(connection.get(URI(server.url("/1")), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 304);
    EXPECT_EQ(bodySize(), 0u);
    ASSERT_TRUE(connection.get(URI(server.url("/2")), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 204);
    ASSERT_TRUE(connection.get(URI(server.url("/3")), nullptr, header, nullptr));
    EXPECT_EQ(header.status, 200);
    ASSERT_TRUE(connection.get(URI(server.url("/4")), nullptr, header, output().c_str()));
    EXPECT_EQ(bodySize(), 4u);
  }
  EXPECT_EQ(server.finish().size(), 4u);
  EXPECT_EQ(server.connectionsAccepted(), 1);
}

// A failed download leaves no half-read response on a kept connection.
TEST_F(HttpFaultsTest, FailureForgetsTheConnection) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n"}, true),
                         answering({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}, true)});
  {
    HttpConnection connection(kAgent);
    connection.setBodyLimit(10);
    HttpHeader header;
    EXPECT_FALSE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
    ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()))
        << connection.failureText();
    EXPECT_EQ(bodySize(), 2u);
  }
  server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
}

// The stop flag ends a download that would otherwise wait two minutes for
// a server that never answers. The bound of one second is the promise to
// the user who presses stop, so it is checked here.
TEST_F(HttpFaultsTest, StopEndsADownloadWithinASecond) {
  Reply silent;
  ScriptedServer server({ConnectionScript{{silent}, true}});
  std::atomic<bool> stop(false);
  HttpConnection connection(kAgent);
  connection.setTimeout(120000);
  connection.setStopFlag(&stop);
  HttpHeader header;
  bool got = true;
  Clock::time_point ended;
  std::thread download([&] {
    got = connection.get(URI(server.url("/")), nullptr, header, output().c_str());
    ended = Clock::now();
  });
  const bool seen = server.requestSeen();
  const Clock::time_point stopped = Clock::now();
  stop = true;
  download.join();
  ASSERT_TRUE(seen) << "the request never arrived";
  EXPECT_FALSE(got);
  EXPECT_EQ(connection.failure(), Failure::Stopped);
  EXPECT_LT(std::chrono::duration<double>(ended - stopped).count(), 1.0);
}

TEST_F(HttpFaultsTest, StopEndsAConnectionAttemptAndALookup) {
  std::atomic<bool> stop(true);
  HttpConnection connection(kAgent);
  connection.setStopFlag(&stop);
  HttpHeader header;
  // A stop already set ends the download before anything goes out.
  for (const char* uri : {"http://127.0.0.1:9/", "http://no-such-host.invalid/"}) {
    EXPECT_FALSE(connection.get(URI(uri), nullptr, header, output().c_str())) << uri;
    EXPECT_EQ(connection.failure(), Failure::Stopped) << uri;
  }
}

// The trickle sends a byte every 100 ms: the per-receive time-out
// never fires, the whole-download deadline does.
TEST_F(HttpFaultsTest, TotalTimeOutCountsFromTheStartOfEachGet) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nConnection: close\r\n"
                                    "Content-Length: 2\r\n\r\nok"},
                                   false),
                         endless("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", "t", 100)});
  HttpConnection connection(kAgent);
  connection.setTotalTimeout(1);
  HttpHeader header;
  ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
  EXPECT_GE(std::chrono::duration<double>(Clock::now() - start).count(), 0.95);
  EXPECT_EQ(connection.failure(), Failure::TookTooLong);
  EXPECT_EQ(connection.failureText(), "no end within 1 seconds");
  EXPECT_GT(bodySize(), 0u);
}

TEST_F(HttpFaultsTest, Ipv6LiteralInBrackets) {
  PeerOptions options;
  options.address = "::1";
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nv6"}, false)},
                        options);
  if (!server.listening()) GTEST_SKIP() << "::1 is not available on this machine";
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    ASSERT_TRUE(connection.get(URI(server.url("/six")), nullptr, header, output().c_str()))
        << connection.failureText();
    EXPECT_EQ(bodySize(), 2u);
  }
  const std::vector<std::string> requests = server.finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_NE(requests[0].find("\r\nHost: [::1]:" + std::to_string(server.port()) + "\r\n"),
            std::string::npos)
      << requests[0];
}

TEST_F(HttpFaultsTest, DottedAddressWithoutReverseEntry) {
  PeerOptions options;
  options.address = "127.0.0.2";
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nv4"}, false)},
                        options);
  if (!server.listening()) GTEST_SKIP() << "127.0.0.2 is not available on this machine";
  HttpConnection connection(kAgent);
  HttpHeader header;
  ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()))
      << connection.failureText();
  EXPECT_EQ(header.status, 200);
}

}  // namespace
