// The check run with fake validators: the cases the real one cannot produce
// on demand.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/executable_path.h"
#include "tests/code_page_scope.h"
#include "tests/support/check_run_fixture.h"

namespace {

using Texts = std::vector<std::string>;

const char kDocument[] = "<p>text\r\n";

// Copies the file $DIR/canned into the error file.
const char kCannedBody[] = "cp \"$DIR/canned\" \"$err\"";

TEST_F(CheckRunTest, EmptyJobWritesOnlyTheClosingLine) {
  const auto lines = check(fakeValidator("v", "exit 0"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "検査終了");
  EXPECT_FALSE(lines[0].hasItem);
  EXPECT_EQ(pane_.doneCount(), 1);
  EXPECT_EQ(pane_.clearCount(), 1);
}

TEST_F(CheckRunTest, CommandLineAndIntermediateFileBesideTheDocument) {
  const std::string validator = fakeValidator(
      "validator", "printf '%s\\n' \"$@\" > \"$DIR/args\"; cp \"$in\" \"$DIR/seen\"; : > \"$err\"");
  CheckTarget* doc = fileTarget(writeFile(docs() + "a.htm", "\x82\xa0\n"));  // Shift_JIS
  const auto lines = check(validator);
  const std::string binFolder =
      platform::executablePath().substr(0, platform::executablePath().rfind('/') + 1);
  EXPECT_EQ(readFile(folder_ + "args"), "-c" + binFolder + "catalog\n-f" + temp() +
                                            "$error.out\n-s\n" + docs() + "$conv.sgml\n");
  // The validator saw the EUC-JP copy with CR LF; it is gone afterwards, and
  // so are the run's own temporary files.
  EXPECT_EQ(readFile(folder_ + "seen"), "\xA4\xA2\r\n");
  EXPECT_FALSE(exists(docs() + "$conv.sgml"));
  EXPECT_FALSE(exists(temp() + "$error.out"));
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + temp() + "')\"").c_str()), 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "-------- " + docs() + "a.htm");
  EXPECT_EQ(lines[0].target, doc);
  EXPECT_EQ(lines[0].line, -1);
}

TEST_F(CheckRunTest, ValidatorPathWithBlanksIsQuoted) {
  shell("mkdir -p '" + folder_ + "my tools'");
  const std::string validator =
      fakeValidator("my tools/nsgmls", "echo 'val:x:1:1:E: ran' > \"$err\"");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  EXPECT_EQ(check(validator)[1].text, "x:1:1:E: ran");
}

TEST_F(CheckRunTest, ErrorFileLinesAreShortenedAndNumbered) {
  const std::string conv = docs() + "$conv.sgml";
  writeFile(folder_ + "canned",
            "onsgmls:" + conv + ":12:5:E: element \"X\" undefined\n" +
                "C:\\SP\\bin\\nsgmls.exe:C:\\TEMP\\$conv.sgml:3:1:E: drive letters\n" +
                "onsgmls:/usr/share/sgml/html.dtd:100:2:W: another file\n" +
                "no colon after the second byte\n" + "42 starts with a number\n" + "a:\n" + "ab\n" +
                "\n" + "xx:  -7:1:E: negative\n" + "xx:99999999999:1:E: too large\n" +
                "xx:ends with $conv.sgml\n" + "xx:" + conv + ":2:1:E: \xA4\xA2 and \xFF\n" +
                "xx:crlf:5\r\n" + "last line without line end");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  const auto lines = check(fakeValidator("v", kCannedBody));
  const struct {
    const char* text;
    int line;
  } expected[] = {
      {"12:5:E: element \"X\" undefined", 12},
      {"3:1:E: drive letters", 3},
      {"/usr/share/sgml/html.dtd:100:2:W: another file", 0},
      {"no colon after the second byte", 0},
      {"42 starts with a number", 42},
      {"a:", 0},
      {"ab", 0},
      {"", 0},
      {"  -7:1:E: negative", -7},
      {"99999999999:1:E: too large", 0x7FFFFFFF},
      {"", 0},
      {"2:1:E: あ and \xEF\xBF\xBD", 2},
      {"crlf:5", 0},
      {"last line without line end", 0},
  };
  ASSERT_EQ(lines.size(), 2 + std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(lines[i + 1].text, expected[i].text) << i;
    EXPECT_EQ(lines[i + 1].line, expected[i].line) << i;
    EXPECT_TRUE(lines[i + 1].hasItem);
    EXPECT_EQ(lines[i + 1].target, lines[0].target);
  }
}

TEST_F(CheckRunTest, A1500ByteLineShowsAsTwoLines) {
  const std::string head = "v:" + docs() + "$conv.sgml:7:1:E: ";
  const std::string line = head + std::string(1500 - head.size(), 'x');
  writeFile(folder_ + "canned", line + "\n");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  const auto lines = check(fakeValidator("v", kCannedBody));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].text, line.substr(head.size() - 7, 999 - head.size() + 7));
  EXPECT_EQ(lines[1].line, 7);
  EXPECT_EQ(lines[2].text, line.substr(999));
  EXPECT_EQ(lines[2].line, 0);
}

TEST_F(CheckRunTest, MissingErrorFileIsReportedAndNeverShowsStaleLines) {
  // The validator writes errors for the first document only.
  const std::string validator =
      fakeValidator("v", "grep -q silent \"$in\" || echo 'val:f:1:1:E: stale?' > \"$err\"");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  CheckTarget* silent = fileTarget(writeFile(docs() + "b.htm", "silent\n"));
  fileTarget(writeFile(docs() + "c.htm", kDocument));
  const auto lines = check(validator);
  EXPECT_EQ(pane_.texts(), (Texts{"-------- " + docs() + "a.htm", "f:1:1:E: stale?",
                                  "-------- " + docs() + "b.htm", "E: エラーファイルを開けない",
                                  "-------- " + docs() + "c.htm", "f:1:1:E: stale?", "検査終了"}));
  EXPECT_EQ(lines[3].target, silent);
  EXPECT_EQ(lines[3].line, -1);
}

TEST_F(CheckRunTest, PreparationFailuresGiveOneLineAndTheRunGoesOn) {
  const std::string validator = fakeValidator("v", "echo 'val:f:1:1:E: checked' > \"$err\"");
  fileTarget(docs() + "missing.htm");
  // A folder where the intermediate file would go cannot be written, even by
  // root.
  shell("mkdir -p '" + docs() + "blocked/$conv.sgml'");
  fileTarget(writeFile(docs() + "blocked/a.htm", kDocument));
  target(static_cast<TargetKind>(3), "gopher://x/");
  fileTarget(writeFile(docs() + "ok.htm", kDocument));
  const auto lines = check(validator);
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "missing.htm", "E: 入力ファイルを開けない",
                   "-------- " + docs() + "blocked/a.htm", "E: 中間ファイルを開けない",
                   "-------- gopher://x/", "E: 未知のスキーム", "-------- " + docs() + "ok.htm",
                   "f:1:1:E: checked", "検査終了"}));
  for (int i : {1, 3, 5}) {
    EXPECT_EQ(lines[i].line, -1);
    EXPECT_EQ(lines[i].target, lines[i - 1].target);
  }
  EXPECT_TRUE(exists(docs() + "blocked/$conv.sgml"));  // not removed: it was never made
}

TEST_F(CheckRunTest, MissingValidatorEndsTheRun) {
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  fileTarget(writeFile(docs() + "b.htm", kDocument));
  const auto lines = check(folder_ + "no such validator");
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "a.htm", "E: nsgmls.exeが見つかりません", "検査終了"}));
  EXPECT_FALSE(lines[1].hasItem);
  EXPECT_FALSE(exists(docs() + "$conv.sgml"));
  EXPECT_EQ(pane_.doneCount(), 1);
}

TEST_F(CheckRunTest, DefaultValidatorIsFoundOnPath) {
  shell("mkdir -p '" + folder_ + "bin'");
  fakeValidator("bin/onsgmls", "echo 'onsgmls:x:1:1:E: found' > \"$err\"");
  const std::string oldPath = std::getenv("PATH");
  ::setenv("PATH", (folder_ + "bin").c_str(), 1);
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  const auto lines = check("");
  ::setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(pane_.texts(), (Texts{"-------- " + docs() + "a.htm", "x:1:1:E: found", "検査終了"}));
}

TEST_F(CheckRunTest, HostPathsAndDocumentsNamedLikeTheCopyUseTheTempFolder) {
  const std::string validator = fakeValidator("v", "echo \"$in\" >> \"$DIR/inputs\"; : > \"$err\"");
  // "//tmp/..." names the same file as "/tmp/..." here, but has a host part.
  const std::string hostPath = "/" + writeFile(docs() + "a.htm", kDocument);
  ASSERT_EQ(hostPath.rfind("//", 0), 0u);
  fileTarget(hostPath);
  fileTarget(writeFile(docs() + "$conv.sgml", "precious\n"));
  check(validator);
  EXPECT_EQ(readFile(folder_ + "inputs"), temp() + "$conv.sgml\n" + temp() + "$conv.sgml\n");
  EXPECT_EQ(readFile(docs() + "$conv.sgml"), "precious\n");
  EXPECT_FALSE(exists(temp() + "$conv.sgml"));
}

TEST_F(CheckRunTest, LongPathsAreNeverCutShort) {
  std::string deep = docs();
  for (int i = 0; i < 12; ++i) deep += std::string(100, 'd') + "/";
  shell("mkdir -p '" + deep + "'");
  fileTarget(writeFile(deep + "a.htm", kDocument));
  const auto lines =
      check(fakeValidator("v", "[ -e \"$in\" ] && echo 'val:x:3:1:E: long' > \"$err\""));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "x:3:1:E: long");
}

TEST_F(CheckRunTest, PathsWithQuotesReachTheValidatorWhole) {
  shell("mkdir -p '" + docs() + "we\"ird'");
  fileTarget(writeFile(docs() + "we\"ird/a.htm", kDocument));
  const auto lines =
      check(fakeValidator("v", "[ -e \"$in\" ] && echo 'val:x:1:1:E: whole' > \"$err\""));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "x:1:1:E: whole");
}

TEST_F(CheckRunTest, StopDuringTheThirdValidatorRun) {
  // Each run announces itself with started.N and waits for release.N.
  const std::string validator =
      fakeValidator("v",
                    "n=$(ls \"$DIR\" | grep -c '^started') ; touch \"$DIR/started.$n\"\n"
                    "i=0; while [ ! -e \"$DIR/release.$n\" ] && [ $i -lt 1000 ]; do sleep 0.01; "
                    "i=$((i+1)); done\n"
                    "echo \"val:f:$n:1:E: run $n\" > \"$err\"");
  for (const char* name : {"1.htm", "2.htm", "3.htm", "4.htm", "5.htm"}) {
    fileTarget(writeFile(docs() + name, kDocument));
  }
  CheckJob job = jobFor(validator);
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  for (int n = 0; n < 3; ++n) {
    const std::string started = folder_ + "started." + std::to_string(n);
    while (!exists(started)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (n == 2) run.stop();
    writeFile(folder_ + "release." + std::to_string(n), "");
  }
  pane_.waitUntilDone();
  while (run.isRunning()) std::this_thread::yield();
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "1.htm", "f:0:1:E: run 0", "-------- " + docs() + "2.htm",
                   "f:1:1:E: run 1", "-------- " + docs() + "3.htm", "検査終了"}));
  EXPECT_FALSE(exists(folder_ + "started.3"));
  EXPECT_FALSE(exists(docs() + "$conv.sgml"));
}

TEST_F(CheckRunTest, LinesReachThePaneInCp932) {
  CodePageScope cp932(platform::CodePage::Cp932);
  writeFile(folder_ + "canned", "v:" + docs() + "$conv.sgml:1:1:E: \xA4\xA2\n");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  fileTarget(docs() + "missing.htm");
  check(fakeValidator("v", kCannedBody));
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "a.htm", "1:1:E: \x82\xA0",
                   "-------- " + docs() + "missing.htm",
                   "E: \x93\xFC\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x8A\x4A\x82\xAF"
                   "\x82\xC8\x82\xA2",
                   "\x8C\x9F\x8D\xB8\x8F\x49\x97\xB9"}));
}

}  // namespace
