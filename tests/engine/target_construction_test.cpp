#include "engine/target_construction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <utility>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

// "file:<location>", "http:<location>" or "nothing".
std::string describe(const std::unique_ptr<CheckTarget>& target) {
  if (!target) return "nothing";
  return std::string(target->kindName()) + ":" + target->location;
}

TEST(TargetFromUri, Rules) {
  const struct {
    std::string text;
    const char* target;
  } cases[] = {
      {"http://server/a.html", "http:http://server/a.html"},
      {"server", "http:http://server/"},
      {"server/a.html", "http:http://server/a.html"},
      {"//server/a.html", "http:http://server/a.html"},
      {"http://h/p?q#f", "http:http://h/p?q#f"},
      {"http://h", "http:http://h/"},
      {"  http://h/ok\t\r\n", "http:http://h/ok"},  // blanks around a pasted text
      {"http://h/ok and more", "nothing"},
      {"http://h/a\"b", "nothing"},
      {"http://h/<a>", "nothing"},
      {std::string("http://h/a\0b", 12), "nothing"},
      {"http:///ok", "nothing"},
      {"https://user@:443/", "nothing"},
      {"?", "nothing"},
      {"", "nothing"},
      {"file:///C:/My%20Docs/a.htm", "file:C:/My Docs/a.htm"},
      {"file:///C:/a%20b.htm", "file:C:/a b.htm"},
      {"file://server/share/a.htm", "file://server/share/a.htm"},
      // Escapes of bytes 0x80 and above stay as they are (net/uri_escape.h).
      {"file:///home/u/%E6%97%A5.html", "file:/home/u/%E6%97%A5.html"},
      {"file:rel/a.htm", "file:rel/a.htm"},
      {"https://server/a.html", "https:https://server/a.html"},
      {"https://h", "https:https://h/"},
      {"HTTP://h/x", "http:HTTP://h/x"},
      {"HtTpS://h", "https:HtTpS://h/"},
      {"https://[::1]:8443/x", "https:https://[::1]:8443/x"},
      {"[::1]/a", "http:http://[::1]/a"},
      {"File:///a.htm", "file:/a.htm"},
      {"ftp://h/x", "nothing"},
      {"host:8080/a.html", "nothing"},
      {"C:\\doc\\a.htm", "nothing"},
      {"mailto:a@b", "nothing"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(describe(targetFromUri(c.text)), c.target) << c.text;
    // Whatever gives no target says why; whatever gives one has no refusal.
    EXPECT_EQ(refusalOfUri(c.text).empty(), c.target != std::string("nothing")) << c.text;
  }
}

TEST(TargetFromUri, RefusalsSayWhy) {
  const struct {
    const char* text;
    const char* refusal;
  } cases[] = {
      {"ftp://h/x", "未知のスキーム：ftp（検査できるのは http、https、file のURIです）"},
      {"mailto:a@b", "未知のスキーム：mailto（検査できるのは http、https、file のURIです）"},
      {"C:\\doc\\a.htm", "未知のスキーム：C（検査できるのは http、https、file のURIです）"},
      {"host:8080/a.html",
       "未知のスキーム：host（ホスト名とポートなら http://host:8080/a.html と書いてください）"},
      {"localhost:8080",
       "未知のスキーム：localhost（ホスト名とポートなら http://localhost:8080 と書いてください）"},
      {"host:80x", "未知のスキーム：host（検査できるのは http、https、file のURIです）"},
      {" host:80 ", "未知のスキーム：host（ホスト名とポートなら http://host:80 と書いてください）"},
      {"http://h/ok and more", "URIに使えない文字：空白（%20 と書いてください）"},
      {"file:///a b.htm", "URIに使えない文字：空白（%20 と書いてください）"},
      {"http://h/<a>", "URIに使えない文字：<（%3C と書いてください）"},
      {"http://h/a\x01", "URIに使えない文字：0x01（%01 と書いてください）"},
      {"http:///ok", "ホスト名がない（http://ホスト名/… と書いてください）"},
  };
  for (const auto& c : cases) EXPECT_EQ(refusalOfUri(c.text), c.refusal) << c.text;
}

TEST(TargetFromPath, FilesAndShortcuts) {
  const test_support::TempFolder temp("target_from_path");
  const std::string& folder = temp.path();
  using test_support::writeFile;
  writeFile(folder + "Link.URL", "[InternetShortcut]\r\nURL=http://server/\r\n");
  writeFile(folder + "ftp.url", "[InternetShortcut]\r\nURL=ftp://server/\r\n");
  writeFile(folder + "file.url", "[InternetShortcut]\nURL=file:///tmp/a%20b.htm\n");
  writeFile(folder + "empty.url", "[Other]\nURL=http://x/\n");
  ASSERT_EQ(::mkfifo((folder + "fifo.url").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/zero", (folder + "zero.url").c_str()), 0);
  ASSERT_EQ(::mkdir((folder + "folder.url").c_str(), 0700), 0);

  const struct {
    std::string path;
    std::string target;
  } cases[] = {
      {"C:\\docs\\index.html", "file:C:\\docs\\index.html"},
      {"/home/u/a b.HTM ", "file:/home/u/a b.HTM "},
      {"relative.txt", "file:relative.txt"},
      {"", "file:"},
      {folder + "Link.URL", "http:http://server/"},
      {folder + "ftp.url", "nothing"},
      {folder + "file.url", "file:/tmp/a b.htm"},
      {folder + "empty.url", "nothing"},
      {folder + "missing.url", "nothing"},
      // Neither waited on nor read without end.
      {folder + "fifo.url", "nothing"},
      {folder + "zero.url", "nothing"},
      {folder + "folder.url", "nothing"},
  };
  for (const auto& c : cases) {
    auto made = std::async(std::launch::async, [&] {
      return std::make_pair(describe(targetFromPath(c.path)), refusalOfPath(c.path));
    });
    ASSERT_EQ(made.wait_for(std::chrono::seconds(5)), std::future_status::ready) << c.path;
    const auto [target, refusal] = made.get();
    EXPECT_EQ(target, c.target) << c.path;
    EXPECT_EQ(refusal.empty(), c.target != "nothing") << c.path;
  }
  const struct {
    std::string name;
    std::string refusal;
  } refusals[] = {
      {"ftp.url",
       "未知のスキーム：ftp（検査できるのは http、https、file のURIです）：ftp://server/"},
      {"empty.url", "ショートカットにURLがない"},
      {"missing.url",
       "入力ファイルを開けない: " + folder + "missing.url: No such file or directory"},
      {"fifo.url", "入力ファイルを開けない: " + folder + "fifo.url: not a regular file"},
      {"zero.url", "入力ファイルを開けない: " + folder + "zero.url: not a regular file"},
      {"folder.url", "入力ファイルを開けない: " + folder + "folder.url: Is a directory"},
  };
  for (const auto& r : refusals) EXPECT_EQ(refusalOfPath(folder + r.name), r.refusal) << r.name;
}

TEST(TargetFromPath, SamePathTwiceGivesTwoTargets) {
  auto a = targetFromPath("a.htm");
  auto b = targetFromPath("a.htm");
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->location, b->location);
}

}  // namespace
