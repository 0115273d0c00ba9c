#include "net/http_connection.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "download_folder.h"
#include "net/http_request.h"
#include "python_http_server.h"
#include "scripted_server.h"
#include "test_certificates.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char kAgent[] = "Tessavo/1.30";

using test_support::readFile;
using test_support::writeFile;

std::string expectedRequest(const std::string& method, const std::string& target, int port) {
  return method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
         "\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n";
}

// Each test gets a folder of its own for output files.
using HttpConnectionTest = DownloadFolderTest;

TEST(HttpRequest, IsBuiltExactly) {
  const struct {
    const char* method;
    const char* uri;
    const char* referer;
    const char* request;
  } cases[] = {
      {"GET", "http://server/", nullptr,
       "GET / HTTP/1.1\r\nHost: server\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "http://server", "",
       "GET / HTTP/1.1\r\nHost: server\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "http://server:8080/a b", nullptr,
       "GET /a HTTP/1.1\r\nHost: server:8080\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "http://server:80/x", nullptr,
       "GET /x HTTP/1.1\r\nHost: server\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "http://u:p@server:/x", nullptr,
       "GET /x HTTP/1.1\r\nHost: server:0\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "http://s/\x95\x5c{a}.html?q=\x82\xa0|%41#frag", nullptr,
       "GET /%95%5c%7ba%7d.html?q=\x82\xa0|%41 HTTP/1.1\r\nHost: s\r\nAccept: */*\r\n"
       "User-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "http://s/%7E%zz", nullptr,
       "GET /%7E%25zz HTTP/1.1\r\nHost: s\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "https://server/", nullptr,
       "GET / HTTP/1.1\r\nHost: server\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "HTTPS://server:443/a", nullptr,
       "GET /a HTTP/1.1\r\nHost: server\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "https://server:80/", nullptr,
       "GET / HTTP/1.1\r\nHost: server:80\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"GET", "HTTP://[::1]:8080", nullptr,
       "GET / HTTP/1.1\r\nHost: [::1]:8080\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n\r\n"},
      {"HEAD", "http://s/p", "http://from/page.html",
       "HEAD /p HTTP/1.1\r\nHost: s\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n"
       "Referer: http://from/page.html\r\n\r\n"},
  };
  for (const auto& c : cases) {
    const URI uri(c.uri);
    const int port = uri.port() != -1 ? uri.port() : uri.schemeIs("https") ? 443 : 80;
    EXPECT_EQ(httpRequestHead(c.method, uri, port, kAgent, c.referer), c.request) << c.uri;
  }
}

TEST(HttpRequest, GrowsWithALongUri) {
  const std::string path(50000, '\x93');
  const std::string request = httpRequestHead("GET", URI("http://s/" + path), 80, kAgent, nullptr);
  EXPECT_EQ(request.size(), std::string("GET / HTTP/1.1\r\n").size() + 3 * path.size() +
                                std::string("Host: s\r\nAccept: */*\r\nUser-Agent: ").size() +
                                std::string("Tessavo/1.30\r\n\r\n").size());
}

// Codes at the edges of the table and of its gaps; every other code has no
// phrase.
TEST(HttpHeader, StatusTextKnowsTheStandardPhrases) {
  const std::pair<int, const char*> phrases[] = {
      {100, "Continue"},
      {101, "Switching Protocols"},
      {200, "OK"},
      {206, "Partial Content"},
      {300, "Multiple Choices"},
      {305, "Use Proxy"},
      {307, "Temporary Redirect"},
      {400, "Bad Request"},
      {404, "Not Found"},
      {408, "Request Time-out"},
      {414, "Request-URI Too Large"},
      {416, "Requested range not satisfiable"},
      {417, "Expectation Failed"},
      {500, "Internal Server Error"},
      {505, "HTTP Version not supported"},
  };
  HttpHeader header;
  for (const auto& phrase : phrases) {
    header.status = phrase.first;
    EXPECT_EQ(header.statusText(), phrase.second) << phrase.first;
  }
  int known = 0;
  for (int code = -1; code < 1000; ++code) {
    header.status = code;
    if (header.statusText() != "(Unknown code)") ++known;
  }
  EXPECT_EQ(known, 40);
  for (int code : {-1, 0, 99, 102, 207, 299, 306, 308, 418, 506, 600}) {
    header.status = code;
    EXPECT_EQ(header.statusText(), "(Unknown code)") << code;
  }
}

TEST(HttpHeader, ContentTypeCharset) {
  const struct {
    const char* value;
    const char* charset;
  } cases[] = {
      {"text/html; charset=UTF-8", "utf-8"},
      {"text/html;charset=Shift_JIS", "shift_jis"},
      {"text/html; CHARSET = \"EUC-JP\" ; x=y", "euc-jp"},
      {"text/html; q=\"a;charset=x\"; charset=iso-2022-jp", "iso-2022-jp"},
      {"text/html; charset=\"a\\\"b\"", "a\"b"},
      {"text/html; charset=utf-8 trailing", "utf-8"},
      {"text/html; xcharset=utf-8", ""},
      {"text/html; charset=", ""},
      {"text/html; charset=\"unterminated", "unterminated"},
      {"text/html", ""},
      {"charset=utf-8", ""},  // the media type itself is no parameter
      {"", ""},
      {";;;", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(contentTypeCharset(c.value), c.charset) << c.value;
}

TEST(HttpHeader, ClearKeepsTheStatus) {
  HttpHeader header;
  EXPECT_EQ(header.status, -1);
  EXPECT_EQ(header.statusText(), "(Unknown code)");
  header.status = 404;
  header.version = "HTTP/1.1";
  header.fields["a"] = "b";
  header.clear();
  EXPECT_TRUE(header.fields.empty());
  EXPECT_EQ(header.version, "");
  EXPECT_EQ(header.status, 404);
}

TEST_F(HttpConnectionTest, SendsTheRequestAndReadsTheResponse) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\n"
                                    "Content-Type: text/html \r\n"
                                    "X-Mixed-Case:   v a l\r\n"
                                    "Empty:\r\n"
                                    "Content-Length: 5\r\n"
                                    "\r\n"
                                    "hello"},
                                   true)});
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    const URI uri(server.url("/doc/%41\xe6\x97\xa5.html?x=1&y=%41#top"));
    ASSERT_TRUE(connection.get(uri, "http://from/", header, output().c_str()));
    EXPECT_EQ(header.version, "HTTP/1.1");
    EXPECT_EQ(header.status, 200);
    const std::map<std::string, std::string> fields = {{"content-type", "text/html "},
                                                       {"x-mixed-case", "v a l"},
                                                       {"empty", ""},
                                                       {"content-length", "5"}};
    EXPECT_EQ(header.fields, fields);
    EXPECT_EQ(body(), "hello");
  }
  const std::vector<std::string> requests = server.finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], "GET /doc/%41%e6%97%a5.html?x=1&y=%41 HTTP/1.1\r\nHost: 127.0.0.1:" +
                             std::to_string(server.port()) +
                             "\r\nAccept: */*\r\nUser-Agent: Tessavo/1.30\r\n"
                             "Referer: http://from/\r\n\r\n");
}

struct Download {
  const char* name;
  std::vector<std::string> pieces;  // the response, sent with pauses between
  bool hold;                        // the server keeps the connection open
  std::string body;
  int status;
  const char* version;
  std::map<std::string, std::string> fields;
  HttpConnection::Failure failure = HttpConnection::Failure::None;
};

std::string chunk(std::size_t size, char fill) {
  return std::string(size, fill);
}

const std::string kBig = chunk(2500, 'b');

// `text` compressed as one gzip member.
std::string gzipped(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string result(deflateBound(&z, text.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(&result[0]);
  z.avail_out = static_cast<uInt>(result.size());
  deflate(&z, Z_FINISH);
  result.resize(z.total_out);
  deflateEnd(&z);
  return result;
}

// `data` as a chunked body of one chunk.
std::string chunked(const std::string& data) {
  char size[20];
  std::snprintf(size, sizeof size, "%zx\r\n", data.size());
  return size + data + "\r\n0\r\n\r\n";
}
const std::string kLongValue = chunk(40000, 'c');

std::string repeated(const std::string& text, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

const std::string kManyFields = repeated("X-Filler: " + chunk(990, 'f') + "\r\n", 70);
const std::string kManyInterim = repeated("HTTP/1.1 100 Continue\r\n\r\n", 3000);

const Download kDownloads[] = {
    {"split status line",
     {"HT", "TP/1.1 2", "00 OK\r", "\nContent-Length: 3\r\n\r", "\nabc"},
     true,
     "abc",
     200,
     "HTTP/1.1",
     {{"content-length", "3"}}},
    {"lone CR line ends",
     {"HTTP/1.1 200 OK\rContent-Length: 3\r\rabc"},
     true,
     "abc",
     200,
     "HTTP/1.1",
     {{"content-length", "3"}}},
    {"LF line ends",
     {"HTTP/1.1 200 OK\nContent-Length: 3\n\nabc"},
     true,
     "abc",
     200,
     "HTTP/1.1",
     {{"content-length", "3"}}},
    {"chunk extensions and both cases of hex digits",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "1a;x=y\r\nabcdefghijklmnopqrstuvwxyz\r\n1A\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n0\r\n\r\n"},
     true,
     "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}}},
    {"chunks larger than a block, split",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n9c4\r\n" + kBig.substr(0, 1200),
      kBig.substr(1200) + "\r\n3\r\n", "xyz\r\n0\r\n\r\n"},
     true,
     kBig + "xyz",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}}},
    {"trailers are read and dropped",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "2\r\nok\r\n0;end\r\nX-Trailer: 1\r\nY: 2\r\n\r\n"},
     true,
     "ok",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}}},
    {"chunked wins over Content-Length",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\nContent-Length: 10\r\n\r\n"
      "3\r\nabc\r\n0\r\n\r\n"},
     true,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "Chunked"}, {"content-length", "10"}}},
    {"chunked after Content-Length",
     {"HTTP/1.1 200 OK\r\nContent-Length: 1\r\nTRANSFER-ENCODING: CHUNKED\r\n\r\n"
      "3\r\nabc\r\n0\r\n\r\n"},
     true,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "CHUNKED"}, {"content-length", "1"}}},
    {"chunk-size line without a number",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\nzz\r\n"},
     false,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::Malformed},
    {"negative chunk size",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\nabcde\r\n0\r\n\r\n"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::Malformed},
    {"chunk data longer than its size",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabcdef\r\n0\r\n\r\n"},
     false,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::Malformed},
    {"a coding other than chunked",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "gzip, chunked"}},
     HttpConnection::Failure::UnsupportedCoding},
    {"a content coding that is not decoded",
     {"HTTP/1.1 200 OK\r\nContent-Encoding: identity\r\nContent-Encoding: br\r\n"
      "Content-Length: 3\r\n\r\nabc"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"content-encoding", "identity"}, {"content-length", "3"}},
     HttpConnection::Failure::UnsupportedCoding},
    {"gzip is decoded, two members one after the other",
     {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nTransfer-Encoding: chunked\r\n\r\n" +
      chunked(gzipped("<p>one</p>\n") + gzipped("<p>two</p>\n"))},
     true,
     "<p>one</p>\n<p>two</p>\n",
     200,
     "HTTP/1.1",
     {{"content-encoding", "gzip"}, {"transfer-encoding", "chunked"}}},
    {"gzip cut inside its data",
     {"HTTP/1.1 200 OK\r\nContent-Encoding: x-gzip\r\nContent-Length: 10\r\n\r\n" +
      gzipped(kBig).substr(0, 10)},
     true,
     "",
     200,
     "HTTP/1.1",
     {{"content-encoding", "x-gzip"}, {"content-length", "10"}},
     HttpConnection::Failure::BodyCutShort},
    {"gzip that is no gzip",
     {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 12\r\n\r\n<p>plain</p>"},
     true,
     "",
     200,
     "HTTP/1.1",
     {{"content-encoding", "gzip"}, {"content-length", "12"}},
     HttpConnection::Failure::Malformed},
    {"gzip twice",
     {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip, gzip\r\nContent-Length: 3\r\n\r\nabc"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"content-encoding", "gzip, gzip"}, {"content-length", "3"}},
     HttpConnection::Failure::UnsupportedCoding},
    {"blanks around values and no reason phrase",
     {"HTTP/1.1 200\r\nTransfer-Encoding: chunked \r\nContent-Length: 3 \r\n\r\n"
      "3 ;x\r\nabc\r\n0\r\n\r\n"},
     true,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked "}, {"content-length", "3 "}}},
    {"connection ends inside a chunk",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab"},
     false,
     "ab",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::BodyCutShort},
    {"connection ends before the last chunk",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n"},
     false,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::BodyCutShort},
    {"connection ends right after the chunk data",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc"},
     false,
     "abc",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::BodyCutShort},
    {"body shorter than its length",
     {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort"},
     false,
     "short",
     200,
     "HTTP/1.1",
     {{"content-length", "100"}},
     HttpConnection::Failure::BodyCutShort},
    {"HTTP/1.0 body shorter than its length",
     {"HTTP/1.0 200 OK\r\nContent-Length: 6\r\n\r\nshort"},
     false,
     "short",
     200,
     "HTTP/1.0",
     {{"content-length", "6"}},
     HttpConnection::Failure::BodyCutShort},
    {"a header line far longer than a line buffer",
     {"HTTP/1.1 200 OK\r\nSet-Cookie: " + kLongValue + "\r\nContent-Length: 2\r\n\r\nok"},
     true,
     "ok",
     200,
     "HTTP/1.1",
     {{"set-cookie", kLongValue}, {"content-length", "2"}}},
    {"304 on a kept connection has no body",
     {"HTTP/1.1 304 Not Modified\r\nETag: \"x\"\r\n\r\n"},
     true,
     "",
     304,
     "HTTP/1.1",
     {{"etag", "\"x\""}}},
    {"204 has no body, even with a length",
     {"HTTP/1.1 204 No Content\r\nContent-Length: 10\r\n\r\n"},
     true,
     "",
     204,
     "HTTP/1.1",
     {{"content-length", "10"}}},
    {"interim responses come before the real one",
     {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </s.css>\r\n\r\n"
      "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"},
     true,
     "ok",
     200,
     "HTTP/1.1",
     {{"content-length", "2"}}},
    {"101 ends the exchange without a body",
     {"HTTP/1.1 101 Switching Protocols\r\nUpgrade: x\r\n\r\n"},
     true,
     "",
     101,
     "HTTP/1.1",
     {{"upgrade", "x"}}},
    {"a head larger than 64 KiB",
     {"HTTP/1.1 200 OK\r\n" + kManyFields + "Content-Length: 2\r\n\r\nok"},
     false,
     "",
     200,
     "HTTP/1.1",
     {},
     HttpConnection::Failure::HeadTooLarge},
    {"a header line larger than 64 KiB",
     {"HTTP/1.1 200 OK\r\nX: " + std::string(70000, 'x') + "\r\n\r\n"},
     false,
     "",
     200,
     "HTTP/1.1",
     {},
     HttpConnection::Failure::HeadTooLarge},
    {"endless interim responses",
     {kManyInterim},
     false,
     "",
     100,
     "",
     {},
     HttpConnection::Failure::HeadTooLarge},
    {"a chunk-size line larger than 64 KiB",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1;" + std::string(70000, 'e')},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::TrailerTooLarge},
    {"a trailer larger than 64 KiB",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n" + kManyFields +
      "\r\n"},
     false,
     "ok",
     200,
     "HTTP/1.1",
     {{"transfer-encoding", "chunked"}},
     HttpConnection::Failure::TrailerTooLarge},
    {"zero length reads nothing",
     {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"},
     true,
     "",
     200,
     "HTTP/1.1",
     {{"content-length", "0"}}},
    {"HTTP/1.0 without a length runs to the end",
     {"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nto the end\r\n", "and more"},
     false,
     "to the end\r\nand more",
     200,
     "HTTP/1.0",
     {{"content-type", "text/plain"}}},
    {"negative length",
     {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nall of it"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"content-length", "-5"}},
     HttpConnection::Failure::Malformed},
    {"length that is no number",
     {"HTTP/1.1 200 OK\r\nContent-Length: abc\r\n\r\nall of it"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"content-length", "abc"}},
     HttpConnection::Failure::Malformed},
    {"a list of two lengths",
     {"HTTP/1.1 200 OK\r\nContent-Length: 10, 158\r\n\r\n0123456789"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"content-length", "10, 158"}},
     HttpConnection::Failure::Malformed},
    {"a list of one length twice",
     {"HTTP/1.1 200 OK\r\nContent-Length: 4, 4\r\n\r\nabcd"},
     true,
     "abcd",
     200,
     "HTTP/1.1",
     {{"content-length", "4, 4"}}},
    {"two different lengths",
     {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 4\r\n\r\nabcd"},
     false,
     "",
     200,
     "HTTP/1.1",
     {{"content-length", "2"}},
     HttpConnection::Failure::Malformed},
    {"404 with an error page",
     {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nNot here."},
     true,
     "Not here.",
     404,
     "HTTP/1.1",
     {{"content-length", "9"}}},
    {"301 with Location",
     {"HTTP/1.1 301 Moved Permanently\r\nLocation: http://elsewhere/\r\nContent-Length: 0\r\n\r\n"},
     true,
     "",
     301,
     "HTTP/1.1",
     {{"location", "http://elsewhere/"}, {"content-length", "0"}}},
    {"repeated fields keep the first value",
     {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\ncontent-type: text/plain\r\n"
      "Content-Length: 4\r\nContent-Length: 4\r\n\r\nabcd"},
     true,
     "abcd",
     200,
     "HTTP/1.1",
     {{"content-type", "text/html"}, {"content-length", "4"}}},
    {"a line without a colon ends the head",
     {"HTTP/1.0 200 OK\r\nA: 1\r\nno colon here\r\nB: 2\r\n\r\nrest"},
     false,
     "B: 2\r\n\r\nrest",
     200,
     "HTTP/1.0",
     {{"a", "1"}}},
    {"status of four digits",
     {"HTTP/1.1 2000 Odd\r\nContent-Length: 0\r\n\r\n"},
     false,
     "",
     0,
     "HTTP/1.1",
     {},
     HttpConnection::Failure::Malformed},
    {"status line without a status",
     {"HTTP/1.1 \r\nContent-Length: 0\r\n\r\n"},
     false,
     "",
     0,
     "HTTP/1.1",
     {},
     HttpConnection::Failure::Malformed},
    {"status of fewer digits",
     {"HTTP/1.1 20\r\nContent-Length: 0\r\n\r\n"},
     false,
     "",
     0,
     "HTTP/1.1",
     {},
     HttpConnection::Failure::Malformed},
    {"status line shorter than a version",
     {"HTTP\r\n\r\nbody"},
     false,
     "",
     0,
     "HTTP",
     {},
     HttpConnection::Failure::Malformed},
    {"server closing at once", {""}, false, "", 0, "", {}},
};

// Every case runs over plain TCP and over TLS: the framing rules are the
// same for both.
TEST_F(HttpConnectionTest, DeliversEachKindOfBody) {
  std::string message;
  const TestCertificates* certificates = testCertificates(&message);
  ASSERT_NE(certificates, nullptr) << message;
  for (const TlsIdentity* tls : {static_cast<const TlsIdentity*>(nullptr), &certificates->valid}) {
    PeerOptions options;
    options.tls = tls;
    for (const Download& d : kDownloads) {
      const std::string name = std::string(d.name) + (tls != nullptr ? " (TLS)" : "");
      // A response refused before its body leaves no file of its own.
      fs::remove(output());
      Reply reply;
      reply.pieces = d.pieces;
      ConnectionScript script;
      script.replies.push_back(reply);
      script.hold = d.hold;
      ScriptedServer server({script}, options);
      HttpHeader header;
      {
        HttpConnection connection(kAgent);
        connection.setTimeout(5000);
        const bool got = connection.get(URI(server.url("/")), nullptr, header, output().c_str());
        EXPECT_EQ(got, d.failure == HttpConnection::Failure::None) << name;
        EXPECT_EQ(connection.failure(), d.failure) << name << ": " << connection.failureText();
        EXPECT_EQ(connection.failureText().empty(), got) << name;
      }
      EXPECT_EQ(body(), d.body) << name;
      EXPECT_EQ(header.status, d.status) << name;
      EXPECT_EQ(header.version, d.version) << name;
      if (d.failure != HttpConnection::Failure::HeadTooLarge) {
        EXPECT_EQ(header.fields, d.fields) << name;
      }
      EXPECT_EQ(server.finish().size(), 1u) << name;
    }
  }
}

TEST_F(HttpConnectionTest, KeepsTheConnectionForTheSameHostAndPort) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                    "3\r\none\r\n0\r\nTrailer: x\r\n\r\n",
                                    "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\ntwo",
                                    "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n"},
                                   true)});
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    ASSERT_TRUE(connection.get(URI(server.url("/1")), nullptr, header, output().c_str()));
    EXPECT_EQ(body(), "one");
    ASSERT_TRUE(connection.get(URI(server.url("/2")), nullptr, header, output().c_str()));
    EXPECT_EQ(body(), "two");
    EXPECT_EQ(header.fields.count("transfer-encoding"), 0u);
    // HEAD reads no body, although a length is given.
    ASSERT_TRUE(connection.get(URI(server.url("/3")), nullptr, header, nullptr));
    EXPECT_EQ(header.status, 200);
    EXPECT_EQ(body(), "two");
  }
  const std::vector<std::string> requests = server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 1);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], expectedRequest("GET", "/1", server.port()));
  EXPECT_EQ(requests[1], expectedRequest("GET", "/2", server.port()));
  EXPECT_EQ(requests[2], expectedRequest("HEAD", "/3", server.port()));
}

TEST_F(HttpConnectionTest, ConnectsAnewAfterAResponseThatEndsTheConnection) {
  const struct {
    const char* first;
    bool serverHolds;  // only the client decides to leave
  } cases[] = {
      {"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\na", true},
      {"HTTP/1.1 200 OK\r\nConnection: Close\r\nContent-Length: 1\r\n\r\na", true},
      {"HTTP/1.1 200 OK\r\n\r\na", false},  // the body runs to the end
  };
  for (const auto& c : cases) {
    ScriptedServer server({answering({c.first}, c.serverHolds),
                           answering({"HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nb"}, true)});
    {
      HttpConnection connection(kAgent);
      HttpHeader header;
      ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()))
          << c.first;
      EXPECT_EQ(body(), "a") << c.first;
      ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()))
          << c.first;
      EXPECT_EQ(body(), "b") << c.first;
    }
    EXPECT_EQ(server.finish().size(), 2u) << c.first;
    EXPECT_EQ(server.connectionsAccepted(), 2) << c.first;
  }
}

TEST_F(HttpConnectionTest, ConnectsAnewForAnotherHostName) {
  const std::string response = "HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx";
  ScriptedServer server({answering({response}, true), answering({response}, true)});
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    const std::string port = std::to_string(server.port());
    ASSERT_TRUE(
        connection.get(URI("http://127.0.0.1:" + port + "/"), nullptr, header, output().c_str()));
    ASSERT_TRUE(
        connection.get(URI("http://localhost:" + port + "/"), nullptr, header, output().c_str()));
  }
  const std::vector<std::string> requests = server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[1].find("\r\nHost: localhost:" + std::to_string(server.port()) + "\r\n"),
            std::string::npos);
}

// The body limit holds for the decoded document too: a few kilobytes of
// gzip must not fill the disk.
TEST_F(HttpConnectionTest, DecodedGzipStaysWithinTheBodyLimit) {
  const std::string bomb = gzipped(std::string(4 * 1000 * 1000, '\0'));
  ASSERT_LT(bomb.size(), 10000u);
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n"
                                    "Content-Length: " +
                                    std::to_string(bomb.size()) + "\r\n\r\n" + bomb},
                                   false)});
  HttpConnection connection(kAgent);
  connection.setBodyLimit(1000000);
  HttpHeader header;
  EXPECT_FALSE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
  EXPECT_EQ(connection.failure(), HttpConnection::Failure::BodyTooLarge);
  EXPECT_EQ(connection.failureText(), "the decoded body is larger than 1000000 bytes");
  EXPECT_LE(bodySize(), 1000000u);
}

TEST_F(HttpConnectionTest, KeptConnectionClosedByTheServerIsNotRetried) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx"}, false)});
  HttpConnection connection(kAgent);
  HttpHeader header;
  ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
  server.finish();  // the server has closed its end
  try {
    EXPECT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
    EXPECT_EQ(header.status, 0);
    EXPECT_EQ(header.version, "");
  } catch (const SocketException& e) {
    // A reset that overtakes the end of data fails the receive instead.
    EXPECT_TRUE(std::string(e.what()) == "recv() failed" ||
                std::string(e.what()) == "send() failed")
        << e.what();
  }
  EXPECT_EQ(server.connectionsAccepted(), 1);
}

TEST_F(HttpConnectionTest, OrderlyFailuresReturnFalse) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx"}, false),
                         answering({"HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\ny"}, true)});
  int refusedPort = 0;
  platform::closeSocket(platform::listenOnLoopback(&refusedPort));
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    const std::string port = std::to_string(server.port());
    for (const char* scheme : {"ftp", "httpx", ""}) {
      EXPECT_FALSE(connection.get(URI(std::string(scheme) + "://127.0.0.1:" + port + "/"), nullptr,
                                  header, output().c_str()))
          << scheme;
      EXPECT_EQ(connection.failure(), HttpConnection::Failure::UnsupportedScheme) << scheme;
    }
    EXPECT_FALSE(connection.get(URI("http://127.0.0.1:" + std::to_string(refusedPort) + "/"),
                                nullptr, header, output().c_str()));
    EXPECT_EQ(connection.failure(), HttpConnection::Failure::CannotConnect);
    EXPECT_EQ(connection.failureText(), "cannot connect to 127.0.0.1:" +
                                            std::to_string(refusedPort) + " (Connection refused)");
    EXPECT_FALSE(fs::exists(output()));
    // An output file that cannot be opened: the response is left unread, so
    // the connection is given up.
    const std::string unwritable = (folder_ / "missing" / "body.out").string();
    EXPECT_FALSE(connection.get(URI(server.url("/a")), nullptr, header, unwritable.c_str()));
    EXPECT_EQ(connection.failure(), HttpConnection::Failure::CannotWriteFile);
    EXPECT_EQ(header.status, 200);
    ASSERT_TRUE(connection.get(URI(server.url("/b")), nullptr, header, output().c_str()));
    EXPECT_EQ(body(), "y");
  }
  const std::vector<std::string> requests = server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], expectedRequest("GET", "/a", server.port()));
  EXPECT_EQ(requests[1], expectedRequest("GET", "/b", server.port()));
}

TEST_F(HttpConnectionTest, UnknownHostThrows) {
  HttpConnection connection(kAgent);
  HttpHeader header;
  try {
    connection.get(URI("http://no-such-host.invalid/"), nullptr, header, output().c_str());
    FAIL() << "no exception";
  } catch (const SocketException& e) {
    EXPECT_STREQ(e.what(), "No such host is known");
  }
}

TEST_F(HttpConnectionTest, FullDiskIsAFailureNotASuccess) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello",
                                    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nagain"},
                                   false),
                         answering({"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}, true)});
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    EXPECT_FALSE(connection.get(URI(server.url("/")), nullptr, header, "/dev/full"));
    ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
    EXPECT_EQ(body(), "ok");
  }
  server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
}

TEST_F(HttpConnectionTest, ReplacesAnOlderOutputFile) {
  writeFile(output(), std::string(5000, 'o'));
  ScriptedServer server("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nnew");
  HttpConnection connection(kAgent);
  HttpHeader header;
  ASSERT_TRUE(connection.get(URI(server.url("/")), nullptr, header, output().c_str()));
  EXPECT_EQ(body(), "new");
}

TEST_F(HttpConnectionTest, SendsALongRequestWhole) {
  ScriptedServer server("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
  const std::string path = "/" + std::string(20000, '\xa4');
  {
    HttpConnection connection(kAgent);
    HttpHeader header;
    ASSERT_TRUE(connection.get(URI(server.url(path)), nullptr, header, output().c_str()));
  }
  const std::vector<std::string> requests = server.finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].size(), expectedRequest("GET", "/", server.port()).size() + 60000);
}

// The two time-out cases wait the shortest time-out the client allows.
TEST_F(HttpConnectionTest, SilentServerTimesOut) {
  Reply silent;
  silent.awaitRequest = true;
  ConnectionScript script;
  script.replies.push_back(silent);
  script.hold = true;
  ScriptedServer server({script});
  HttpConnection connection(kAgent);
  connection.setTimeout(1);  // raised to 5000
  HttpHeader header;
  const Clock::time_point start = Clock::now();
  try {
    connection.get(URI(server.url("/")), nullptr, header, output().c_str());
    FAIL() << "no time-out";
  } catch (const SocketException& e) {
    EXPECT_STREQ(e.what(), "Timeout");
    EXPECT_EQ(e.code(), -1);
  }
  EXPECT_GE(std::chrono::duration<double>(Clock::now() - start).count(), 4.9);
  EXPECT_FALSE(fs::exists(output()));
}

TEST_F(HttpConnectionTest, BodyWithoutEndTimesOutKeepingWhatArrived) {
  ScriptedServer server({answering({"HTTP/1.1 200 OK\r\n\r\npartial"}, true)});
  HttpConnection connection(kAgent);
  connection.setTimeout(5000);
  HttpHeader header;
  try {
    connection.get(URI(server.url("/")), nullptr, header, output().c_str());
    FAIL() << "no time-out";
  } catch (const SocketException& e) {
    EXPECT_STREQ(e.what(), "Timeout");
  }
  EXPECT_EQ(header.status, 200);
  EXPECT_EQ(body(), "partial");
}

// python3's http.server as a real peer: HTTP/1.0 answers with a length,
// ending the connection after each.
TEST_F(HttpConnectionTest, DownloadsFromPythonHttpServer) {
  const fs::path site = folder_ / "site";
  fs::create_directories(site / "dir");
  std::mt19937 random(7);
  std::string content(300000, '\0');
  for (char& c : content) c = static_cast<char>(random());
  writeFile(site / "data.bin", content);
  writeFile(site / "\xe6\x97\xa5\xe6\x9c\xac.html", "<p>\xe6\x97\xa5</p>\n");
  PythonHttpServer python(site.string());
  ASSERT_TRUE(python.available()) << "python3 -m http.server did not start";

  HttpConnection connection(kAgent);
  HttpHeader header;
  ASSERT_TRUE(connection.get(URI(python.url("/data.bin")), nullptr, header, output().c_str()));
  EXPECT_EQ(header.status, 200);
  EXPECT_EQ(header.version, "HTTP/1.0");
  EXPECT_EQ(header.fields["content-length"], "300000");
  EXPECT_TRUE(body() == content);

  ASSERT_TRUE(connection.get(URI(python.url("/\xe6\x97\xa5\xe6\x9c\xac.html")), nullptr, header,
                             output().c_str()));
  EXPECT_EQ(header.status, 200);
  EXPECT_EQ(body(), "<p>\xe6\x97\xa5</p>\n");

  ASSERT_TRUE(connection.get(URI(python.url("/missing.html")), nullptr, header, output().c_str()));
  EXPECT_EQ(header.status, 404);
  EXPECT_EQ(header.statusText(), "Not Found");
  EXPECT_NE(body().find("404"), std::string::npos);

  ASSERT_TRUE(connection.get(URI(python.url("/dir")), nullptr, header, output().c_str()));
  EXPECT_EQ(header.status, 301);
  EXPECT_EQ(header.fields["location"], "/dir/");

  fs::remove(output());
  ASSERT_TRUE(connection.get(URI(python.url("/data.bin")), nullptr, header, nullptr));
  EXPECT_EQ(header.status, 200);
  EXPECT_EQ(header.fields["content-length"], "300000");
  EXPECT_FALSE(fs::exists(output()));
}

}  // namespace
