#include "net/socket_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "scripted_server.h"
#include "test_certificates.h"

namespace {

using Clock = std::chrono::steady_clock;

// The TLS identity the scripted server presents, or null (and a message)
// when the test certificates cannot be made.
const TlsIdentity* validIdentity(std::string* message) {
  const TestCertificates* certificates = testCertificates(message);
  return certificates != nullptr ? &certificates->valid : nullptr;
}

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

// The line rules are the stream's, whatever carries the bytes: every case
// runs over plain TCP and over TLS.
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
  std::string message;
  const TlsIdentity* identity = validIdentity(&message);
  for (const TlsIdentity* tls : {static_cast<const TlsIdentity*>(nullptr), identity}) {
    if (tls == nullptr && identity == nullptr) ADD_FAILURE() << message;
    PeerOptions options;
    options.tls = tls;
    for (const auto& c : cases) {
      ScriptedServer server({sending(c.pieces)}, options);
      SocketStream stream;
      stream.open("127.0.0.1", server.port(), tls != nullptr);
      ASSERT_TRUE(stream.isOpen());
      EXPECT_EQ(readLines(stream, c.size, static_cast<int>(c.lines.size())), c.lines)
          << c.pieces[0] << (tls != nullptr ? " over TLS" : "");
      // The last, empty line is the end of data, which closes the stream.
      EXPECT_FALSE(stream.isOpen()) << c.pieces[0];
    }
  }
}

TEST(SocketStream, WholeLinesOfAnyLengthUpToALimit) {
  const std::string longLine(200000, 'h');
  const struct {
    const char* name;
    std::vector<std::string> pieces;
    std::size_t limit;
    std::vector<std::pair<SocketStream::LineStatus, std::string>> lines;
  } cases[] = {
      {"a line longer than the buffer",
       {longLine + "\r\n", "tail"},
       300000,
       {{SocketStream::LineStatus::Complete, longLine},
        {SocketStream::LineStatus::Complete, "tail"},
        {SocketStream::LineStatus::Ended, ""}}},
      {"a line beyond the limit leaves the rest unread",
       {"abcdef\n"},
       4,
       {{SocketStream::LineStatus::TooLong, "abcd"},
        {SocketStream::LineStatus::Complete, "ef"},
        {SocketStream::LineStatus::Ended, ""}}},
      {"exactly the limit, then the line end",
       {"abcd", "\r", "\nx"},
       4,
       {{SocketStream::LineStatus::TooLong, "abcd"},
        {SocketStream::LineStatus::Complete, ""},
        {SocketStream::LineStatus::Complete, "x"},
        {SocketStream::LineStatus::Ended, ""}}},
      {"a CR at the end of a receive waits for the next byte",
       {"a\r", "b\r", "\n"},
       10,
       {{SocketStream::LineStatus::Complete, "a"},
        {SocketStream::LineStatus::Complete, "b"},
        {SocketStream::LineStatus::Ended, ""}}},
  };
  for (const auto& c : cases) {
    ScriptedServer server({sending(c.pieces)});
    SocketStream stream;
    stream.open("127.0.0.1", server.port());
    for (const auto& [status, text] : c.lines) {
      std::string line = "old";
      EXPECT_EQ(stream.readLine(&line, c.limit), status) << c.name;
      EXPECT_EQ(line, text) << c.name;
    }
    EXPECT_FALSE(stream.isOpen()) << c.name;
  }
}

TEST(SocketStream, BlocksOfAnySizeCarryEveryByte) {
  std::string data(1000000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
  std::string message;
  const TlsIdentity* identity = validIdentity(&message);
  ASSERT_NE(identity, nullptr) << message;
  for (const TlsIdentity* tls : {static_cast<const TlsIdentity*>(nullptr), identity}) {
    PeerOptions options;
    options.tls = tls;
    ScriptedServer server({sending({"head\r\n" + data})}, options);
    SocketStream stream;
    stream.open("127.0.0.1", server.port(), tls != nullptr);
    std::string line;
    ASSERT_EQ(stream.readLine(&line, 100), SocketStream::LineStatus::Complete);
    EXPECT_EQ(line, "head");
    // Small reads come from the buffer, large ones straight from the
    // connection; both keep the order.
    std::vector<char> block(100000);
    std::string received;
    for (int size = 1; received.size() < data.size(); size = size * 3 % 99991 + 1) {
      const int count = stream.read(block.data(), size);
      ASSERT_GT(count, 0) << "after " << received.size() << " bytes";
      received.append(block.data(), static_cast<std::size_t>(count));
    }
    EXPECT_TRUE(received == data) << (tls != nullptr ? "over TLS" : "plain");
    EXPECT_EQ(stream.read(block.data(), 10), 0);
    EXPECT_FALSE(stream.isOpen());
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
  EXPECT_NE(stream.openFailure(), "");
  stream.open("127.0.0.1", 70000);
  EXPECT_FALSE(stream.isOpen());
  char buffer[4];
  EXPECT_EQ(stream.read(buffer, sizeof buffer), 0);
}

TEST(SocketStream, UnknownHostsThrow) {
  for (const char* host : {"no-such-host.invalid", "", "[no-such-host]"}) {
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

TEST(SocketStream, LookupWorksAgainAfterAFailure) {
  SocketStream stream;
  EXPECT_THROW(stream.open("no-such-host.invalid", 80), SocketException);
  ScriptedServer server = sendingServer({"ok"});
  stream.open("localhost", server.port());
  EXPECT_TRUE(stream.isOpen());
}

// Addresses connect as they stand, without a lookup in either direction:
// 127.0.0.2 has no reverse entry on most machines.
TEST(SocketStream, NumericHostsConnectWithoutLookup) {
  const struct {
    const char* listen;
    const char* host;
  } cases[] = {
      {"127.0.0.2", "127.0.0.2"},
      {"::1", "::1"},
      {"::1", "[::1]"},
  };
  for (const auto& c : cases) {
    PeerOptions options;
    options.address = c.listen;
    ScriptedServer server({sending({"hello\n"})}, options);
    if (!server.listening()) {
      std::printf("skipped %s: cannot listen on %s on this machine\n", c.host, c.listen);
      continue;
    }
    SocketStream stream;
    stream.open(c.host, server.port());
    ASSERT_TRUE(stream.isOpen()) << c.host << ": " << stream.openFailure();
    char line[10];
    stream.readLine(line, sizeof line);
    EXPECT_STREQ(line, "hello") << c.host;
  }
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
  EXPECT_GE(secondsSince(start), 0.95);
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

// A stop from another thread ends a wait that has no time-out at all, and
// a deadline ends a trickle whose every byte comes well within the
// time-out.
TEST(SocketStream, StopFlagAndDeadlineEndWaits) {
  {
    ScriptedServer server = sendingServer({}, /*hold=*/true);
    SocketStream stream;
    std::atomic<bool> stop(false);
    stream.setStopFlag(&stop);
    stream.setTimeout(0);
    stream.open("127.0.0.1", server.port());
    std::thread stopper([&stop] { stop = true; });
    char line[10];
    try {
      stream.readLine(line, sizeof line);
      ADD_FAILURE() << "the stop did not end the wait";
    } catch (const SocketException& e) {
      EXPECT_STREQ(e.what(), SocketException::kStopped);
    }
    stopper.join();
    EXPECT_FALSE(stream.isOpen());
  }
  {
    Reply trickle;
    trickle.awaitRequest = false;
    trickle.endless = "x";
    trickle.endlessPauseMs = 50;
    ScriptedServer server({ConnectionScript{{trickle}, false}});
    SocketStream stream;
    stream.setTimeout(5000);
    stream.open("127.0.0.1", server.port());
    stream.setDeadline(Clock::now() + std::chrono::milliseconds(300));
    std::string line;
    try {
      stream.readLine(&line, 1000000);
      ADD_FAILURE() << "the deadline did not end the trickle";
    } catch (const SocketException& e) {
      EXPECT_STREQ(e.what(), SocketException::kDeadline);
    }
    EXPECT_FALSE(stream.isOpen());
  }
}

// The server's certificate is checked before a byte goes over the
// connection; the reason names what is wrong with it.
TEST(SocketStream, SecureStreamRefusesServersItCannotTrust) {
  std::string message;
  const TestCertificates* certificates = testCertificates(&message);
  ASSERT_NE(certificates, nullptr) << message;
  const struct {
    const char* name;
    const TlsIdentity* identity;
    const char* host;
    const char* reason;  // empty: trusted
  } cases[] = {
      {"valid, by name", &certificates->valid, "localhost", ""},
      {"valid, by address", &certificates->valid, "127.0.0.1", ""},
      {"another host's", &certificates->wrongHost, "localhost",
       "certificate verify failed (hostname mismatch)"},
      {"another host's, by address", &certificates->wrongHost, "127.0.0.1",
       "certificate verify failed (IP address mismatch)"},
      {"expired", &certificates->expired, "localhost",
       "certificate verify failed (certificate has expired)"},
      {"self-signed", &certificates->selfSigned, "localhost",
       "certificate verify failed (self-signed certificate)"},
  };
  for (const auto& c : cases) {
    PeerOptions options;
    options.tls = c.identity;
    ScriptedServer server({sending({"secret\n"})}, options);
    SocketStream stream;
    try {
      stream.open(c.host, server.port(), true);
      EXPECT_STREQ(c.reason, "") << c.name;
      char line[10];
      stream.readLine(line, sizeof line);
      EXPECT_STREQ(line, "secret") << c.name;
    } catch (const SocketException& e) {
      EXPECT_EQ(std::string(e.what()), c.reason) << c.name;
      EXPECT_FALSE(stream.isOpen()) << c.name;
    }
  }
}

TEST(SocketStream, SecureStreamToAPlainServerFailsTheHandshake) {
  ScriptedServer server = sendingServer({"HTTP/1.1 400 Bad Request\r\n\r\n"}, true);
  SocketStream stream;
  try {
    stream.open("127.0.0.1", server.port(), true);
    FAIL() << "a plain server passed for TLS";
  } catch (const SocketException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("TLS handshake failed", 0), 0u) << e.what();
  }
  EXPECT_FALSE(stream.isOpen());
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
