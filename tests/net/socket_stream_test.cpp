#include "net/socket_stream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "scripted_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// A connection that sends `pieces` without waiting for a request, then
// closes (or holds the connection open).
ConnectionScript sending(std::vector<std::string> pieces, bool hold = false, int pauseMs = 20) {
  Reply reply;
  reply.pieces = std::move(pieces);
  reply.awaitRequest = false;
  reply.pauseMs = pauseMs;
  ConnectionScript script;
  script.replies.push_back(reply);
  script.hold = hold;
  return script;
}

ScriptedServer sendingServer(std::vector<std::string> pieces, bool hold = false, int pauseMs = 20) {
  return ScriptedServer({sending(std::move(pieces), hold, pauseMs)});
}

std::vector<std::string> readLines(SocketStream& stream, int size, int count) {
  std::vector<std::string> lines;
  std::vector<char> buffer(static_cast<std::size_t>(size));
  for (int i = 0; i < count; ++i) {
    stream.readLine(buffer.data(), size);
    lines.emplace_back(buffer.data());
  }
  return lines;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(SocketStream, ReadLineEndsLinesAtCrLfLfAndLoneCr) {
  const struct {
    std::vector<std::string> pieces;
    int size;
    std::vector<std::string> lines;
  } cases[] = {
      {{"abc\r\ndef\nghi\rjkl"}, 100, {"abc", "def", "ghi", "jkl", ""}},
      {{"abcdef\n"}, 4, {"abc", "def", "", ""}},  // the LF comes as an empty line
      {{"abc\n"}, 4, {"abc", "", ""}},            // fills the buffer exactly; LF follows
      {{"a\r\r\nb\r\rc"}, 100, {"a", "", "b", "", "c", ""}},
      {{"\n\r\n\r"}, 100, {"", "", "", ""}},
      {{"ab", "c\r", "\nd"}, 100, {"abc", "d", ""}},  // split across receives
      {{"x\r", "\xff\xfe\n"}, 100, {"x", "\xff\xfe", ""}},
      {{"abc"}, 2, {"a", "b", "c", ""}},
      {{""}, 100, {""}},
  };
  for (const auto& c : cases) {
    ScriptedServer server = sendingServer(c.pieces);
    SocketStream stream;
    stream.open("127.0.0.1", server.port());
    ASSERT_TRUE(stream.isOpen());
    EXPECT_EQ(readLines(stream, c.size, static_cast<int>(c.lines.size())), c.lines) << c.pieces[0];
    // The last, empty line is the end of data, which closes the stream.
    EXPECT_FALSE(stream.isOpen()) << c.pieces[0];
  }
}

TEST(SocketStream, ReadDeliversThePushedBackByteFirst) {
  ScriptedServer server =
      sendingServer({"ab\r\xff"
                     "cd"});
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  char line[100];
  stream.readLine(line, sizeof line);
  EXPECT_STREQ(line, "ab");
  char block[10];
  std::string rest;
  for (int count; (count = stream.read(block, sizeof block)) > 0;) rest.append(block, count);
  EXPECT_EQ(rest,
            "\xff"
            "cd");
}

TEST(SocketStream, ReadOfOneByteTakesOnlyThePushback) {
  ScriptedServer server = sendingServer({"a\rbc"});
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  char line[100];
  stream.readLine(line, sizeof line);
  char byte = 0;
  EXPECT_EQ(stream.read(&byte, 1), 1);
  EXPECT_EQ(byte, 'b');
  EXPECT_EQ(stream.read(&byte, 1), 1);
  EXPECT_EQ(byte, 'c');
}

TEST(SocketStream, EndOfDataClosesAndLaterReadsReturnAtOnce) {
  ScriptedServer server = sendingServer({"xy"});
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  char buffer[10];
  std::string data;
  int count = 0;
  while ((count = stream.read(buffer, sizeof buffer)) > 0) data.append(buffer, count);
  EXPECT_EQ(data, "xy");
  EXPECT_FALSE(stream.isOpen());
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0);
  stream.readLine(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(stream.read(buffer, 0), 0);
}

TEST(SocketStream, ReadOfNothingLeavesTheStreamOpen) {
  ScriptedServer server = sendingServer({"z"});
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  char buffer[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(stream.read(buffer, 0), 0);
  stream.readLine(buffer, 1);
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(stream.isOpen());
  EXPECT_EQ(stream.read(buffer, 4), 1);
  EXPECT_EQ(buffer[0], 'z');
}

TEST(SocketStream, ClosedStreamCanBeOpenedAgain) {
  ScriptedServer server({sending({"first"}), sending({"second"})});
  SocketStream stream;
  char buffer[10];
  for (const char* expected : {"first", "second"}) {
    stream.open("127.0.0.1", server.port());
    ASSERT_TRUE(stream.isOpen());
    stream.readLine(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, expected);
    stream.close();
    stream.close();
    EXPECT_FALSE(stream.isOpen());
  }
  server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
}

TEST(SocketStream, SendAfterThePeerLeftThrowsInsteadOfKillingTheProcess) {
  ScriptedServer server = sendingServer({});
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  server.finish();  // the peer has closed its end
  const std::string block(64 * 1024, 'x');
  try {
    for (int i = 0; i < 1000; ++i) stream.send(block.data(), static_cast<int>(block.size()));
    FAIL() << "sending to a closed peer never failed";
  } catch (const SocketException& e) {
    EXPECT_STREQ(e.what(), "send() failed");
    EXPECT_NE(e.code(), 0);
  }
  EXPECT_FALSE(stream.isOpen());
}

TEST(SocketStream, RefusedConnectionLeavesTheStreamClosedWithoutThrowing) {
  int port = 0;
  const platform::SocketHandle listener = platform::listenOnLoopback(&port);
  ASSERT_NE(listener, platform::kInvalidSocket);
  platform::closeSocket(listener);  // nothing listens at `port` any more
  SocketStream stream;
  stream.open("127.0.0.1", port);
  EXPECT_FALSE(stream.isOpen());
  stream.open("127.0.0.1", 70000);
  EXPECT_FALSE(stream.isOpen());
  char buffer[4];
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0);
}

TEST(SocketStream, UnknownHostsThrow) {
  // 192.0.2.1 is reserved for documentation: it has no reverse entry, and a
  // dotted address counts as known only through its reverse lookup.
  for (const char* host : {"no-such-host.invalid", "192.0.2.1", ""}) {
    SocketStream stream;
    try {
      stream.open(host, 80);
      FAIL() << host;
    } catch (const SocketException& e) {
      EXPECT_STREQ(e.what(), "No such host is known") << host;
    }
    EXPECT_FALSE(stream.isOpen()) << host;
  }
}

TEST(SocketStream, HostLookupLockIsFreeAfterAFailure) {
  SocketStream stream;
  EXPECT_THROW(stream.open("no-such-host.invalid", 80), SocketException);
  ScriptedServer server = sendingServer({"ok"});
  stream.open("localhost", server.port());
  EXPECT_TRUE(stream.isOpen());
}

TEST(SocketStream, SilentPeerTimesOutInWholeSeconds) {
  ScriptedServer server = sendingServer({}, /*hold=*/true);
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  stream.setTimeout(999);  // less than a second still waits one second
  const Clock::time_point start = Clock::now();
  char line[10];
  try {
    stream.readLine(line, sizeof line);
    FAIL() << "no time-out";
  } catch (const SocketException& e) {
    EXPECT_STREQ(e.what(), "Timeout");
    EXPECT_EQ(e.code(), -1);
  }
  const double waited = secondsSince(start);
  EXPECT_GE(waited, 0.95);
  EXPECT_LT(waited, 3.0);
  EXPECT_FALSE(stream.isOpen());
}

TEST(SocketStream, ZeroTimeOutWaitsWithoutLimit) {
  ScriptedServer server = sendingServer({"", "late"}, false, 1300);
  SocketStream stream;
  stream.open("127.0.0.1", server.port());
  stream.setTimeout(0);
  const Clock::time_point start = Clock::now();
  char buffer[10] = {};
  EXPECT_EQ(stream.read(buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "late");
  EXPECT_GE(secondsSince(start), 1.2);
}

TEST(SocketException, CarriesTextAndCode) {
  const SocketException original("Timeout", -1);
  SocketException copy("send() failed", 32);
  copy = original;
  EXPECT_STREQ(copy.what(), "Timeout");
  EXPECT_EQ(copy.code(), -1);
  const std::exception& base = original;
  EXPECT_STREQ(base.what(), "Timeout");
}

}  // namespace
