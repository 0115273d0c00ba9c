#include "net/uri.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Split {
  const char* text;
  const char* scheme;
  const char* authority;
  const char* path;
  const char* query;
  const char* fragment;
  const char* host;
  int port;
  const char* joined;  // toString()
};

const Split kSplits[] = {
    {"http://user@server:8080/a/b.html?x=1#top", "http", "user@server:8080", "/a/b.html", "x=1",
     "top", "server", 8080, "http://user@server:8080/a/b.html?x=1#top"},
    {"http://server", "http", "server", "/", "", "", "server", -1, "http://server/"},
    // Scheme names ignore case; the text keeps the case it was given.
    {"HTTP://server", "HTTP", "server", "/", "", "", "server", -1, "HTTP://server/"},
    {"https://server", "https", "server", "/", "", "", "server", -1, "https://server/"},
    {"hTTpS://s:8443?q", "hTTpS", "s:8443", "/", "q", "", "s", 8443, "hTTpS://s:8443/?q"},
    {"httpx://server", "httpx", "server", "", "", "", "server", -1, "httpx://server"},
    // An IPv6 address keeps its colons and brackets.
    {"http://[::1]:8080/x", "http", "[::1]:8080", "/x", "", "", "[::1]", 8080,
     "http://[::1]:8080/x"},
    {"https://u@[fe80::1%25eth0]/", "https", "u@[fe80::1%25eth0]", "/", "", "", "[fe80::1%25eth0]",
     -1, "https://u@[fe80::1%25eth0]/"},
    {"http://[::1]", "http", "[::1]", "/", "", "", "[::1]", -1, "http://[::1]/"},
    {"http://[::1/x", "http", "[::1", "/x", "", "", "[", 0, "http://[::1/x"},
    {"http://host:8080/x", "http", "host:8080", "/x", "", "", "host", 8080, "http://host:8080/x"},
    {"http://host:/x", "http", "host:", "/x", "", "", "host", 0, "http://host:/x"},
    {"http://host:80x/", "http", "host:80x", "/", "", "", "host", 80, "http://host:80x/"},
    {"http://u:p@host/x", "http", "u:p@host", "/x", "", "", "host", -1, "http://u:p@host/x"},
    {"http://a@b@c:1/", "http", "a@b@c:1", "/", "", "", "b@c", 1, "http://a@b@c:1/"},
    {"http://h:1:2/", "http", "h:1:2", "/", "", "", "h", 1, "http://h:1:2/"},
    {"http://h/p?a=1#f", "http", "h", "/p", "a=1", "f", "h", -1, "http://h/p?a=1#f"},
    {"http://h/p?a?b", "http", "h", "/p", "a?b", "", "h", -1, "http://h/p?a?b"},
    {"http://h/p#f?g#h", "http", "h", "/p", "", "f?g#h", "h", -1, "http://h/p#f?g#h"},
    {"http://h?q", "http", "h", "/", "q", "", "h", -1, "http://h/?q"},
    {"http://h#f", "http", "h", "/", "", "f", "h", -1, "http://h/#f"},
    {"http://h/p?#", "http", "h", "/p", "", "", "h", -1, "http://h/p"},
    {"http://h/a b", "http", "h", "/a", "", "", "h", -1, "http://h/a"},
    {"http://h/a\tb?x", "http", "h", "/a", "", "", "h", -1, "http://h/a"},
    {"http://h/a\"b", "http", "h", "/a", "", "", "h", -1, "http://h/a"},
    {"http://h/a<b>", "http", "h", "/a", "", "", "h", -1, "http://h/a"},
    {"http://h/a\x7F"
     "b",
     "http", "h", "/a", "", "", "h", -1, "http://h/a"},
    {"http://h/p?a b#f", "http", "h", "/p", "a", "", "h", -1, "http://h/p?a"},
    {"http:", "http", "", "/", "", "", "", -1, "http:/"},
    {"http:/x", "http", "", "/x", "", "", "", -1, "http:/x"},
    {"http:x", "http", "", "x", "", "", "", -1, "http:x"},
    {"http://", "http", "", "/", "", "", "", -1, "http:/"},
    {"http:///p", "http", "", "/p", "", "", "", -1, "http:/p"},
    {"file:///C:/x/y.htm", "file", "", "C:/x/y.htm", "", "", "", -1, "file:C:/x/y.htm"},
    {"file:///x/y.htm", "file", "", "/x/y.htm", "", "", "", -1, "file:/x/y.htm"},
    {"file:/C:/x", "file", "", "C:/x", "", "", "", -1, "file:C:/x"},
    {"file:///1:/x", "file", "", "/1:/x", "", "", "", -1, "file:/1:/x"},
    {"FILE:///C:/x", "FILE", "", "C:/x", "", "", "", -1, "FILE:C:/x"},
    {"file:", "file", "", "", "", "", "", -1, "file:"},
    {"C:\\doc\\a.htm", "C", "", "\\doc\\a.htm", "", "", "", -1, "C:\\doc\\a.htm"},
    {"index.html", "", "", "index.html", "", "", "", -1, "index.html"},
    {"a/b:c", "", "", "a/b:c", "", "", "", -1, "a/b:c"},
    {"a?b:c", "", "", "a", "b:c", "", "", -1, "a?b:c"},
    {":x", "", "", "x", "", "", "", -1, "x"},
    {"//h/p", "", "h", "/p", "", "", "h", -1, "//h/p"},
    {"mailto:a@b", "mailto", "", "a@b", "", "", "", -1, "mailto:a@b"},
    {"a b:c", "", "", "a", "", "", "", -1, "a"},
    {"", "", "", "", "", "", "", -1, ""},
    {" http://h/", "", "", "", "", "", "", -1, ""},
    // Bytes 0x80 and above are URI characters, in every component.
    {"http://\x93\xfa/\x95\x5c?\x82\xa0#\xff", "http", "\x93\xfa", "/\x95\x5c", "\x82\xa0", "\xff",
     "\x93\xfa", -1, "http://\x93\xfa/\x95\x5c?\x82\xa0#\xff"},
    {"\xe6\x97\xa5:x", "\xe6\x97\xa5", "", "x", "", "", "", -1, "\xe6\x97\xa5:x"},
    // Escapes are kept as written.
    {"http://h/%41%2f?%20", "http", "h", "/%41%2f", "%20", "", "h", -1, "http://h/%41%2f?%20"},
};

TEST(URI, SplitsIntoComponents) {
  for (const Split& c : kSplits) {
    const URI uri(c.text);
    EXPECT_EQ(uri.scheme(), c.scheme) << c.text;
    EXPECT_EQ(uri.authority(), c.authority) << c.text;
    EXPECT_EQ(uri.path(), c.path) << c.text;
    EXPECT_EQ(uri.query(), c.query) << c.text;
    EXPECT_EQ(uri.fragment(), c.fragment) << c.text;
    EXPECT_EQ(uri.host(), c.host) << c.text;
    EXPECT_EQ(uri.port(), c.port) << c.text;
    EXPECT_EQ(uri.toString(), c.joined) << c.text;
    EXPECT_EQ(URI(std::string(c.text)).toString(), c.joined) << c.text;
  }
}

TEST(URI, SchemeIsIgnoresAsciiCaseOnly) {
  const struct {
    const char* text;
    const char* name;
    bool is;
  } cases[] = {
      {"http://h/", "http", true},   {"HTTP://h/", "http", true},
      {"HtTpS://h/", "https", true}, {"https://h/", "http", false},
      {"http://h/", "https", false}, {"file:x", "file", true},
      {"h:8080/x", "http", false},   {"//h/", "", true},
      {"Èttp://h/", "http", false},  // a byte above 0x7F is no letter
  };
  for (const auto& c : cases) {
    EXPECT_EQ(URI(c.text).schemeIs(c.name), c.is) << c.text << " / " << c.name;
  }
}

TEST(URI, PortReadsLikeAtoi) {
  const struct {
    const char* text;
    int port;
  } cases[] = {
      {"http://h:+81/", 81},   {"http://h:-1/", -1},
      {"http://h:00080/", 80}, {"http://h:99999999999999999999/", 2147483647},
      {"http://h:x1/", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(URI(c.text).port(), c.port) << c.text;
}

TEST(URI, StringConstructorStopsAtNul) {
  const URI uri(std::string("http://h/a\0b", 12));
  EXPECT_EQ(uri.path(), "/a");
  EXPECT_EQ(uri.unparsed(), std::string("\0b", 2));
  EXPECT_EQ(URI(std::string()).toString(), "");
  EXPECT_EQ(URI(static_cast<const char*>(nullptr)).toString(), "");
}

// What ended the parse early stays for the caller, so that a text cut at a
// blank is not taken for the part before it.
TEST(URI, KeepsWhatItLeftUnparsed) {
  const struct {
    const char* text;
    const char* unparsed;
  } cases[] = {
      {"http://h/ok and more", " and more"},
      {"http://h/p?q#f", ""},
      {"http://h/a\"b", "\"b"},
      {"http://h<x>/", "<x>/"},
      {"http://h/p?a#f g", " g"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(URI(c.text).unparsed(), c.unparsed) << c.text;
    EXPECT_EQ(URI(std::string(c.text)).unparsed(), c.unparsed) << c.text;
  }
}

TEST(URI, CopiesAllComponents) {
  const URI original("http://u@h:81/p?q#f");
  URI copy("file:x");
  copy = original;
  EXPECT_EQ(copy.toString(), "http://u@h:81/p?q#f");
  EXPECT_EQ(copy.fragment(), "f");
  const URI constructed(original);
  EXPECT_EQ(constructed.port(), 81);
}

TEST(URI, ReparsingItsTextIsStable) {
  for (const Split& c : kSplits) {
    const std::string once = URI(c.text).toString();
    EXPECT_EQ(URI(once).toString(), once) << c.text;
  }
}

struct Conversion {
  std::string input;
  std::string output;
};

TEST(UriEscape, EncodesWhatMayNotStandInAUri) {
  const Conversion cases[] = {
      {"/a b/<c>", "/a%20b/%3cc%3e"},
      {"%7E", "%7E"},
      {"%zz", "%25zz"},
      {"%7", "%257"},
      {"%", "%25"},
      {"%%41", "%25%41"},
      {"\x95\x5c", "%95%5c"},
      {"\x80\xff", "%80%ff"},
      {"\x01\x1f\x7f", "%01%1f%7f"},
      {"<>%\"{}|\\^[]`", "%3c%3e%25%22%7b%7d%7c%5c%5e%5b%5d%60"},
      {"#;/?:@&=+$,~!*'()-._", "#;/?:@&=+$,~!*'()-._"},
      {"AZaz09", "AZaz09"},
      {"", ""},
  };
  for (const Conversion& c : cases) {
    EXPECT_EQ(escape(c.input), c.output) << c.input;
    EXPECT_EQ(escape(c.input.c_str()), c.output) << c.input;
  }
  EXPECT_EQ(escape(static_cast<const char*>(nullptr)), "");
}

TEST(UriEscape, DecodesOnlyPlainPrintableCharacters) {
  const Conversion cases[] = {
      {"a%20b%2fc%41", "a b%2fcA"},
      {"%7e%7E", "~~"},
      {"%2F%3f%93", "%2F%3f%93"},
      {"%1f%7f%80%ff%00", "%1f%7f%80%ff%00"},
      {"%3B%2F%3F%3A%40%26%3D%2B%24%2C%3C%3E%23%25%22%7B%7D%7C%5C%5E%5B%5D%60",
       "%3B%2F%3F%3A%40%26%3D%2B%24%2C%3C%3E%23%25%22%7B%7D%7C%5C%5E%5B%5D%60"},
      {"%21%27%28%29%2A%2d%2e%5f", "!'()*-._"},
      {"%2541", "%2541"},  // decoding happens once: "%25" stays, "41" is plain
      {"%%41", "%A"},
      {"%4", "%4"},
      {"%g1", "%g1"},
      {"%", "%"},
      {"\x95\x5c", "\x95\x5c"},
      {"", ""},
  };
  for (const Conversion& c : cases) {
    EXPECT_EQ(unescape(c.input), c.output) << c.input;
    EXPECT_EQ(unescape(c.input.c_str()), c.output) << c.input;
  }
  EXPECT_EQ(unescape(static_cast<const char*>(nullptr)), "");
}

TEST(UriEscape, EveryByteRoundTripsThroughEscape) {
  for (int byte = 1; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    const std::string escaped = escape(text);
    ASSERT_TRUE(escaped == text || escaped.size() == 3) << byte;
    const std::string back = unescape(escaped);
    // Only the plain printable characters come back decoded.
    const bool decodable =
        byte >= 0x20 && byte <= 0x7E &&
        std::string(";/?:@&=+$,<>#%\"{}|\\^[]`").find(static_cast<char>(byte)) == std::string::npos;
    EXPECT_EQ(back == text, decodable || escaped == text) << byte;
  }
}

}  // namespace
