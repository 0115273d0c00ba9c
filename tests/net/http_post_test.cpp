// POST with a body into memory, on a kept-alive connection: how the HTML5
// checker is asked.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "net/http_connection.h"
#include "net/http_request.h"
#include "scripted_server.h"

namespace {

const char kAgent[] = "Tessavo/1.30";

TEST(HttpPost, HeadCarriesTypeAndLength) {
  EXPECT_EQ(httpPostHead(URI("http://127.0.0.1:8888/?out=json"), 8888, kAgent,
                         "text/html; charset=utf-8", 12),
            "POST /?out=json HTTP/1.1\r\nHost: 127.0.0.1:8888\r\nAccept: */*\r\n"
            "User-Agent: Tessavo/1.30\r\nContent-Type: text/html; charset=utf-8\r\n"
            "Content-Length: 12\r\n\r\n");
}

TEST(HttpPost, SendsTheBodyAndReadsAnswersOnOneConnection) {
  // The server reads up to each empty line: the second "request" it sees is
  // the first body followed by the second head.
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}",
                                    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                    "3\r\n[1]\r\n0\r\n\r\n"},
                                   true)});
  const std::string first = "<p>\xE6\x97\xA5</p>";
  std::vector<std::string> heads;
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    std::string answer = "left from before";
    const URI uri(server.url("/?out=json"));
    ASSERT_TRUE(connection.post(uri, "text/html", first, header, &answer));
    EXPECT_EQ(header.status, 200);
    EXPECT_EQ(answer, "{}");
    ASSERT_TRUE(connection.post(uri, "application/xhtml+xml", "", header, &answer));
    EXPECT_EQ(answer, "[1]");
    heads = {httpPostHead(uri, server.port(), kAgent, "text/html", first.size()),
             httpPostHead(uri, server.port(), kAgent, "application/xhtml+xml", 0)};
  }
  const std::vector<std::string> requests = server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 1);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], heads[0]);
  EXPECT_EQ(requests[1], first + heads[1]);
}

TEST(HttpPost, AStopEndsAWaitForTheAnswer) {
  // Reads the request, then says nothing until the client leaves.
  ScriptedServer server({ConnectionScript{{Reply{}}, true}});
  std::atomic<bool> stop{false};
  HttpConnection connection(kAgent);
  connection.setStopFlag(&stop);
  HttpHeader header;
  std::string answer;
  std::thread stopper([&server, &stop] {
    server.requestSeen();
    stop.store(true);
  });
  EXPECT_FALSE(connection.post(URI(server.url("/")), "text/html", "x", header, &answer));
  stopper.join();
  EXPECT_EQ(connection.failure(), HttpConnection::Failure::Stopped);
}

}  // namespace
