#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>

#include "engine/convert_exception.h"
#include "tests/support/check_run_fixture.h"

namespace {

// The failure's message, with " (run folder)" after it when the failure
// lies with the run's own files.
std::string failureOf(const CheckTarget& target, const std::string& intermediate) {
  try {
    RunSgml::prepareInput(target, intermediate, "");
  } catch (const ConvertException& failure) {
    return failure.what() + std::string(failure.inRunFolder() ? " (run folder)" : "");
  }
  return "";
}

TEST_F(CheckRunTest, PrepareInputConvertsEveryEncodingToEucJpWithCrLf) {
  const struct {
    const char* bytes;
    const char* converted;
  } cases[] = {
      {"a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd"},
      {"\x93\xFA\x96\x7B\n", "\xC6\xFC\xCB\xDC\r\n"},   // Shift_JIS
      {"\xC6\xFC\xCB\xDC\n", "\xC6\xFC\xCB\xDC\r\n"},   // EUC-JP
      {"\x1B$BF|K\\\x1B(B\n", "\xC6\xFC\xCB\xDC\r\n"},  // ISO-2022-JP
  };
  for (const auto& c : cases) {
    std::remove((docs() + "out").c_str());
    const CheckTarget target{TargetKind::File, writeFile(docs() + "a.htm", c.bytes)};
    EXPECT_EQ(failureOf(target, docs() + "out"), "");
    EXPECT_EQ(readFile(docs() + "out"), c.converted) << c.bytes;
  }
}

// UTF-16 and UTF-32 with a byte order mark are copied as UTF-8, mark
// included, and validated as UTF-8.
TEST_F(CheckRunTest, PrepareInputCopiesWideUnicodeAsUtf8) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    const char* charset;
  } cases[] = {
      {"\xFF\xFE<\0p\0>\0\n\0\x42\x30\r\0"s, "UTF-16LE"},
      {"\xFE\xFF\0<\0p\0>\0\n\x30\x42\0\r"s, "UTF-16BE"},
      {"\xFF\xFE\0\0<\0\0\0p\0\0\0>\0\0\0\n\0\0\0\x42\x30\0\0\r\0\0\0"s, "UTF-32LE"},
      {"\0\0\xFE\xFF\0\0\0<\0\0\0p\0\0\0>\0\0\0\n\0\0\x30\x42\0\0\0\r"s, "UTF-32BE"},
  };
  for (const auto& c : cases) {
    std::remove((docs() + "out").c_str());
    const CheckTarget target{TargetKind::File, writeFile(docs() + "a.htm", c.bytes)};
    const kanji::DocumentAnalysis analysis = RunSgml::prepareInput(target, docs() + "out", "");
    EXPECT_EQ(readFile(docs() + "out"), "\xEF\xBB\xBF<p>\r\n\xE3\x81\x82\r\n") << c.charset;
    EXPECT_EQ(analysis.encoding, kanji::TextEncoding::Utf8) << c.charset;
    EXPECT_EQ(analysis.reason, kanji::EncodingReason::ByteOrderMark) << c.charset;
    EXPECT_EQ(analysis.dtd, kanji::DtdKind::Missing) << c.charset;
    EXPECT_EQ(analysis.charset, c.charset);
  }
}

TEST_F(CheckRunTest, PrepareInputWritesOnlyANewPrivateCopy) {
  const CheckTarget document{TargetKind::File, writeFile(docs() + "a.htm", "text\n")};
  writeFile(docs() + "taken", "someone's\n");
  writeFile(folder_ + "victim", "victim\n");
  shell("ln -s '" + folder_ + "victim' '" + docs() + "link' && ln -s '" + folder_ + "none' '" +
        docs() + "dangling'");
  const std::string cannotOpen = "中間ファイルを開けない: ";
  for (const char* name : {"taken", "link", "dangling"}) {
    EXPECT_EQ(failureOf(document, docs() + name),
              cannotOpen + docs() + name + ": File exists (run folder)");
  }
  EXPECT_EQ(readFile(docs() + "taken"), "someone's\n");
  EXPECT_EQ(readFile(folder_ + "victim"), "victim\n");
  EXPECT_FALSE(exists(folder_ + "none"));

  EXPECT_EQ(failureOf(document, docs() + "copy"), "");
  struct stat status {};
  ASSERT_EQ(::stat((docs() + "copy").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(CheckRunTest, PrepareInputRefusesFoldersAndShortWrites) {
  EXPECT_EQ(failureOf(CheckTarget{TargetKind::File, docs()}, docs() + "out"),
            "入力ファイルを開けない: " + docs());
  EXPECT_FALSE(exists(docs() + "out"));

  // A file-size limit stands in for a full disk.
  const CheckTarget big{TargetKind::File, writeFile(docs() + "big.htm", std::string(200000, 'x'))};
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string failure = failureOf(big, docs() + "out");
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(failure, "中間ファイルに書き込めない: " + docs() + "out: File too large (run folder)");
  EXPECT_FALSE(exists(docs() + "out"));
}

}  // namespace
