#include "files/file_name.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/code_page_scope.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::CodePage;

struct Split {
  const char* path;
  const char* host;
  const char* directory;
  const char* name;
  const char* extension;  // extension(true)
};

void expectSplits(const Split* begin, const Split* end) {
  for (const Split* c = begin; c != end; ++c) {
    FileName file(c->path);
    EXPECT_EQ(file.host(), c->host) << c->path;
    EXPECT_EQ(file.directory(), c->directory) << c->path;
    EXPECT_EQ(file.name(), c->name) << c->path;
    EXPECT_EQ(file.extension(true), c->extension) << c->path;
    EXPECT_EQ(FileName(std::string(c->path)).directory(), c->directory) << c->path;
  }
}

// Splits whose result does not depend on the code page.
const Split kPlainSplits[] = {
    {"C:\\doc\\index.HTML", "", "C:/doc/", "index.HTML", "html"},
    {"index.html", "", "", "index.html", "html"},
    {"", "", "", "", ""},
    {"\\\\srv\\share\\dir\\a.htm", "srv", "/share/dir/", "a.htm", "htm"},
    {"//srv/share/a.htm", "srv", "/share/", "a.htm", "htm"},
    {"/\\srv", "srv", "", "", ""},  // a mix of separators opens a UNC path too
    {"\\\\", "", "", "", ""},       // UNC prefix with nothing after it
    {"/C:/doc/a.htm", "", "C:/doc/", "a.htm", "htm"},
    {"/doc/a.htm", "", "/doc/", "a.htm", "htm"},
    {"/1:/doc/a.htm", "", "/1:/doc/", "a.htm", "htm"},  // only a letter is a drive
    {"C:a.htm", "", "", "C:a.htm", "htm"},
    {"C:\\doc\\", "", "C:/doc/", "", ""},
    {"C:\\doc\\.", "", "C:/doc/./", "", ""},
    {"C:\\doc\\..", "", "C:/doc/../", "", ""},
    {"..", "", "../", "", ""},
    {"C:\\doc\\...", "", "C:/doc/", "...", ""},  // only "." and ".." become folders
    {"archive.tar.GZ", "", "", "archive.tar.GZ", "gz"},
    {"README", "", "", "README", ""},
    {"name.", "", "", "name.", ""},
    {"C:\\v1.2\\readme", "", "C:/v1.2/", "readme", ""},
    {".profile", "", "", ".profile", "profile"},
    {"C:\\a\\Link.URL", "", "C:/a/", "Link.URL", "url"},
    {"a\\b/c\\d", "", "a/b/c/", "d", ""},
};

TEST(FileName, SplitsPathsUnderEitherCodePage) {
  for (CodePage codePage : {CodePage::Utf8, CodePage::Cp932}) {
    CodePageScope scope(codePage);
    expectSplits(std::begin(kPlainSplits), std::end(kPlainSplits));
  }
}

TEST(FileName, ExtensionKeepsCaseWhenAsked) {
  EXPECT_EQ(FileName("a.HtMl").extension(false), "HtMl");
  // Only A-Z are lowered; other bytes pass unchanged.
  EXPECT_EQ(FileName("a.\xC3\x89X").extension(true), "\xC3\x89x");
}

// 0x95 0x5C is one CP932 character whose second byte is a backslash.
TEST(FileName, Cp932TrailByteIsNeverASeparator) {
  CodePageScope cp932(CodePage::Cp932);
  const Split splits[] = {
      {"C:\\\x95\x5C\\a.htm", "", "C:/\x95\x5C/", "a.htm", "htm"},
      {"C:\\\x95\x5C", "", "C:/", "\x95\x5C", ""},
      {"C:\\dir\\\x95\x5C.htm", "", "C:/dir/", "\x95\x5C.htm", "htm"},
      {"\\\\\x95\x5Csrv\\share\\a.htm", "\x95\x5Csrv", "/share/", "a.htm", "htm"},
      // 0x82 0x2E: a character whose second byte is a dot is not a dot.
      {"a\x82.", "", "", "a\x82.", ""},
      {"a\x82.b", "", "", "a\x82.b", ""},
      {"a\x82..b", "", "", "a\x82..b", "b"},
      // A lead byte as the last byte of the host stops the copy.
      {"\\\\\x95", "", "", "", ""},
      // Half-width katakana are single bytes.
      {"C:\\\xB1\\\xB2.htm", "", "C:/\xB1/", "\xB2.htm", "htm"},
  };
  expectSplits(std::begin(splits), std::end(splits));
}

TEST(FileName, Cp932PathReadAsUtf8WouldSplitWrongly) {
  // The same bytes under UTF-8 are not a character, so the 0x5C splits: the
  // code page really decides.
  FileName file("C:\\\x95\x5C\\a.htm");
  EXPECT_EQ(file.directory(), "C:/\x95//");
}

TEST(FileName, Utf8PathsSplitAtRealSeparators) {
  const Split splits[] = {
      {"/home/u/日本語/表.html", "", "/home/u/日本語/", "表.html", "html"},
      {"C:\\ドキュメント\\索引.HTM", "", "C:/ドキュメント/", "索引.HTM", "htm"},
      {"//サーバ/共有/a.htm", "サーバ", "/共有/", "a.htm", "htm"},
      {"報告.書.SHTML", "", "", "報告.書.SHTML", "shtml"},
  };
  expectSplits(std::begin(splits), std::end(splits));
}

TEST(IsDirectory, TellsFoldersFromFilesAndMissingPaths) {
  const test_support::TempFolder temp("is_directory");
  const std::string& folder = temp.path();
  temp.makeFolder("sub");
  test_support::writeFile(folder + "file.htm", "x");
  EXPECT_TRUE(isDirectory(folder.c_str()));
  EXPECT_TRUE(isDirectory((folder + "sub").c_str()));
  EXPECT_FALSE(isDirectory((folder + "file.htm").c_str()));
  EXPECT_FALSE(isDirectory((folder + "missing").c_str()));
  EXPECT_FALSE(isDirectory(""));
  EXPECT_FALSE(isDirectory(nullptr));
}

}  // namespace
