#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "engine/convert_exception.h"
#include "tests/support/check_run_fixture.h"

namespace {

std::string failureOf(const CheckTarget& target, const std::string& intermediate) {
  try {
    RunSgml::prepareInput(target, intermediate, "");
  } catch (const ConvertException& failure) {
    return failure.what();
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
    const CheckTarget target{TargetKind::File, writeFile(docs() + "a.htm", c.bytes)};
    EXPECT_EQ(failureOf(target, docs() + "out"), "");
    EXPECT_EQ(readFile(docs() + "out"), c.converted) << c.bytes;
  }
}

TEST_F(CheckRunTest, PrepareInputRefusesFoldersAndShortWrites) {
  EXPECT_EQ(failureOf(CheckTarget{TargetKind::File, docs()}, docs() + "out"),
            "入力ファイルを開けない");
  EXPECT_FALSE(exists(docs() + "out"));

  // A file-size limit stands in for a full disk.
  const CheckTarget big{TargetKind::File, writeFile(docs() + "big.htm", std::string(20000, 'x'))};
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string failure = failureOf(big, docs() + "out");
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(failure, "漢字コード変換に失敗");
  EXPECT_FALSE(exists(docs() + "out"));
}

}  // namespace
