#include "engine/target_construction.h"

#include <gtest/gtest.h>

#include <string>

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
    const char* text;
    const char* target;
  } cases[] = {
      {"http://server/a.html", "http:http://server/a.html"},
      {"server", "http:http://server/"},
      {"server/a.html", "http:http://server/a.html"},
      {"//server/a.html", "http:http://server/a.html"},
      {"http://h/p?q#f", "http:http://h/p?q#f"},
      {"http://h", "http:http://h/"},
      {"?", "http:http:/"},
      {"", "http:http:/"},
      {"file:///C:/My%20Docs/a.htm", "file:C:/My Docs/a.htm"},
      {"file:///C:/a%20b.htm", "file:C:/a b.htm"},
      {"file://server/share/a.htm", "file://server/share/a.htm"},
      // Escapes of bytes 0x80 and above stay as they are (net/uri_escape.h).
      {"file:///home/u/%E6%97%A5.html", "file:/home/u/%E6%97%A5.html"},
      {"file:rel/a.htm", "file:rel/a.htm"},
      {"ftp://h/x", "nothing"},
      {"HTTP://h/x", "nothing"},
      {"File:///a.htm", "nothing"},
      {"C:\\doc\\a.htm", "nothing"},
      {"mailto:a@b", "nothing"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(targetFromUri(c.text)), c.target) << c.text;
}

TEST(TargetFromPath, FilesAndShortcuts) {
  const test_support::TempFolder temp("target_from_path");
  const std::string& folder = temp.path();
  using test_support::writeFile;
  writeFile(folder + "Link.URL", "[InternetShortcut]\r\nURL=http://server/\r\n");
  writeFile(folder + "ftp.url", "[InternetShortcut]\r\nURL=ftp://server/\r\n");
  writeFile(folder + "file.url", "[InternetShortcut]\nURL=file:///tmp/a%20b.htm\n");
  writeFile(folder + "empty.url", "[Other]\nURL=http://x/\n");

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
      {folder + "empty.url", "http:http:/"},    // no URL value: "?"
      {folder + "missing.url", "http:http:/"},  // unreadable: "?"
  };
  for (const auto& c : cases) EXPECT_EQ(describe(targetFromPath(c.path)), c.target) << c.path;
}

TEST(TargetFromPath, SamePathTwiceGivesTwoTargets) {
  auto a = targetFromPath("a.htm");
  auto b = targetFromPath("a.htm");
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(a->location, b->location);
}

}  // namespace
