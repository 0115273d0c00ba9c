// The HTTP client over Winsock, against a server of the test's own on
// 127.0.0.1: bodies by length, by chunks and to the end of the connection,
// a cut body, a refused connection, a stop, a 404 with its body, and a
// POST as the HTML5 checker is asked.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "net/http_connection.h"
#include "net/http_request.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"
#include "tests/windows/one_reply_server.h"

namespace {

using Failure = HttpConnection::Failure;

TEST(Win32Http, BodiesAndFailuresOverLoopback) {
  test_support::TempFolder folder("win32_http");
  const struct {
    const char* name;
    std::string reply;
    bool got;
    int status;
    std::string body;
    Failure failure;
  } cases[] = {
      {"length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", true, 200, "hello",
       Failure::None},
      {"chunks",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
       "chunked\r\n\r\n3\r\n\x95\x5C!\r\n2\r\nok\r\n0\r\n\r\n",
       true, 200, "\x95\x5C!ok", Failure::None},
      {"to the end", "HTTP/1.0 200 OK\r\n\r\nuntil the end", true, 200, "until the end",
       Failure::None},
      {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone", true, 404, "gone",
       Failure::None},
      {"cut short", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this", false, 200, "",
       Failure::BodyCutShort},
  };
  for (const auto& c : cases) {
    OneReplyServer server(c.reply);
    HttpConnection connection("Tessavo/1.30");
    HttpHeader header;
    const std::string file = folder / (std::string(c.name) + ".out");
    EXPECT_EQ(connection.get(URI(server.uri("/a.htm")), nullptr, header, file.c_str()), c.got)
        << c.name << ": " << connection.failureText();
    EXPECT_EQ(connection.failure(), c.failure) << c.name;
    EXPECT_EQ(header.status, c.status) << c.name;
    if (c.got) {
      EXPECT_EQ(test_support::readFile(file), c.body) << c.name;
    }
    EXPECT_EQ(server.request().rfind("GET /a.htm HTTP/1.1\r\n", 0), 0u) << c.name;
  }
}

TEST(Win32Http, RefusedConnectionAndStop) {
  test_support::TempFolder folder("win32_http");
  int port = 0;
  const platform::SocketHandle listener = platform::listenOnLoopback(&port);
  ASSERT_NE(listener, platform::kInvalidSocket);
  const std::string uri = "http://127.0.0.1:" + std::to_string(port) + "/";
  HttpHeader header;
  // A listener that never answers: the stop flag ends the wait.
  std::atomic<bool> stop{true};
  HttpConnection stopped("Tessavo/1.30");
  stopped.setStopFlag(&stop);
  EXPECT_FALSE(stopped.get(URI(uri), nullptr, header, (folder / "stopped.out").c_str()));
  EXPECT_EQ(stopped.failure(), Failure::Stopped);
  platform::closeSocket(listener);

  HttpConnection refused("Tessavo/1.30");
  EXPECT_FALSE(refused.get(URI(uri), nullptr, header, (folder / "refused.out").c_str()));
  EXPECT_EQ(refused.failure(), Failure::CannotConnect) << refused.failureText();
  EXPECT_FALSE(refused.failureText().empty());
}

TEST(Win32Http, PostSendsHeadAndBodyAndReadsTheAnswerIntoMemory) {
  OneReplyServer server("HTTP/1.1 200 OK\r\nContent-Length: 15\r\n\r\n{\"messages\":[]}");
  const URI uri(server.uri("/?out=json"));
  const std::string body = "<p>\x93\xFA\x96\x7B</p>";
  HttpConnection connection("Tessavo/1.30");
  HttpHeader header;
  std::string answer;
  ASSERT_TRUE(connection.post(uri, "text/html; charset=shift_jis", body, header, &answer))
      << connection.failureText();
  EXPECT_EQ(header.status, 200);
  EXPECT_EQ(answer, "{\"messages\":[]}");
  EXPECT_EQ(server.request(), httpPostHead(uri, uri.port(), "Tessavo/1.30",
                                           "text/html; charset=shift_jis", body.size()) +
                                  body);
}

}  // namespace
