// The check run with fake validators: the cases the real one cannot produce
// on demand.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <new>
#include <thread>

#include "engine/validator_invocation.h"
#include "platform/executable_path.h"
#include "platform/run_folder.h"
#include "tests/code_page_scope.h"
#include "tests/support/check_run_fixture.h"
#include "tests/support/report_pipe.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kDocument = kDoctypeLine + "<p>text\r\n";

// Copies the file $DIR/canned into the error file.
const char kCannedBody[] = "cp \"$DIR/canned\" \"$err\"";

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The id of a process that has ended and been reaped.
pid_t endedProcess() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

TEST_F(CheckRunTest, EmptyJobWritesOnlyTheClosingLine) {
  const auto lines = check(fakeValidator("v", "exit 0"));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "検査終了");
  EXPECT_FALSE(lines[0].hasItem);
  EXPECT_EQ(pane_.doneCount(), 1);
  EXPECT_EQ(pane_.clearCount(), 1);
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(CheckRunTest, CommandLineAndCopyLieInARunFolderOfTheirOwn) {
  const std::string validator =
      fakeValidator("validator",
                    "printf '%s\\n' \"$@\" > \"$DIR/args\"; pwd > \"$DIR/pwd\"; cp \"$in\" "
                    "\"$DIR/seen\"; ls -l \"$in\" | cut -c1-10 > \"$DIR/mode\"; : > \"$err\"");
  CheckTarget* doc =
      fileTarget(writeFile(docs() + "a.htm", kDoctypeLine + "\x82\xa0\n"));  // Shift_JIS
  const auto lines = check(validator);
  const std::string binFolder =
      platform::executablePath().substr(0, platform::executablePath().rfind('/') + 1);
  const std::string docsFolder = docs().substr(0, docs().size() - 1);
  EXPECT_EQ(readFile(folder_ + "args"),
            "-c" + binFolder + "catalog\n-f$error.out\n-s\n-D" + docsFolder + "\n$conv.sgml\n");
  // The validator worked in a private folder of this run, on a private EUC-JP
  // copy with CR LF; nothing was written beside the document, and the run
  // folder is gone.
  EXPECT_TRUE(startsWith(readFile(folder_ + "pwd"),
                         temp() + "tessavo-run-" + std::to_string(::getpid()) + "-"))
      << readFile(folder_ + "pwd");
  EXPECT_EQ(readFile(folder_ + "seen"), "<!DOCTYPE p SYSTEM \"p.dtd\">\r\n\xA4\xA2\r\n");
  EXPECT_EQ(readFile(folder_ + "mode"), "-rw-------\n");
  EXPECT_EQ(std::system(("test \"$(ls -A '" + docs() + "')\" = a.htm").c_str()), 0);
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + temp() + "')\"").c_str()), 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "-------- " + docs() + "a.htm");
  EXPECT_EQ(lines[0].target, doc);
  EXPECT_EQ(lines[0].line, -1);
  EXPECT_FALSE(incomplete_);
}

TEST_F(CheckRunTest, TheDocumentsProfileChoosesOptionsCatalogAndEncoding) {
  const std::string validator = fakeValidator(
      "v", "printf '%s\\n' \"$@\" \"$SP_CHARSET_FIXED $SP_ENCODING\" > \"$DIR/seen\"");
  platform::RunFolder folder;
  ASSERT_TRUE(folder.create(temp()));
  ValidatorInvocation invocation(validator, folder);
  ValidatorProfile xhtml;
  xhtml.encoding = platform::ValidatorEncoding::Utf8;
  xhtml.catalogName = "xhtml-catalog";
  xhtml.options = {"-wxml"};
  const platform::ChildOutcome outcome = invocation.run(docs(), xhtml, nullptr, 0);
  EXPECT_EQ(outcome.end, platform::ChildOutcome::End::Exited);
  const std::string binFolder =
      platform::executablePath().substr(0, platform::executablePath().rfind('/') + 1);
  EXPECT_EQ(readFile(folder_ + "seen"),
            "-wxml\n-c" + binFolder + "xhtml-catalog\n-f$error.out\n-s\n-D" +
                docs().substr(0, docs().size() - 1) + "\n$conv.sgml\nYES UTF-8\n");
  EXPECT_EQ(invocation.names().encoding, platform::ValidatorEncoding::Utf8);
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
                "xx:crlf:5\r\n" + "onsgmls:$conv.sgml:8:9: as the run names it\n" +
                "onsgmls:$doc/x.dtd:1:2:E: a folder link with no folder behind it\n" +
                "last line without line end");
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
      {"8:9: as the run names it", 8},
      {"$doc/x.dtd:1:2:E: a folder link with no folder behind it", 0},
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

// Long messages quote long attribute values; each line shows whole, and the
// line after it keeps its own start, whatever the block sizes of the reading.
TEST_F(CheckRunTest, LongErrorFileLinesShowWhole) {
  const std::string head = "v:$conv.sgml:7:1:E: value of attribute \"DIR\" cannot be \"";
  std::string canned;
  Texts expected;
  for (const std::size_t size : {1300u, 999u, 1000u, 1001u, 70000u}) {
    const std::string line = head + std::string(size - head.size() - 1, 'A') + "\"";
    canned += line + (size == 1000u ? "\r\n" : "\n");
    expected.push_back(line.substr(std::string("v:$conv.sgml:").size()));
  }
  canned += "v:$conv.sgml:8:2:E: the next line";
  expected.push_back("8:2:E: the next line");
  writeFile(folder_ + "canned", canned);
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  const auto lines = check(fakeValidator("v", kCannedBody));
  ASSERT_EQ(lines.size(), expected.size() + 2);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(lines[i + 1].text, expected[i]) << i;
    EXPECT_EQ(lines[i + 1].line, i + 1 < expected.size() ? 7 : 8) << i;
  }
}

// A page without a doctype says so even when the validator has no note on
// it; that line never hides a validator that failed without a word.
TEST_F(CheckRunTest, APageWithoutDoctypeIsToldSo) {
  fileTarget(writeFile(docs() + "version.html", "4.4.3\n"));
  const auto lines = check(fakeValidator("v", ": > \"$err\"; exit 1"));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1].text, kNoDoctype);
  EXPECT_EQ(lines[1].line, 0);
  EXPECT_TRUE(startsWith(lines[2].text, "E: nsgmlsが失敗: ")) << lines[2].text;
  EXPECT_TRUE(incomplete_);
}

// What the run makes of each way a validator can end.
TEST_F(CheckRunTest, ValidatorOutcomesAreReadNotAssumed) {
  const std::string failed = "E: nsgmlsが失敗: ";
  const struct {
    const char* name;
    std::string body;
    int timeout;
    Texts lines;  // after the header; a line ending in "…" is a prefix
    bool incomplete;
  } cases[] = {
      {"errors", "echo 'v:$conv.sgml:1:1:E: bad' > \"$err\"; exit 1", 120, {"1:1:E: bad"}, false},
      {"clean", ": > \"$err\"", 120, {}, false},
      {"warnings", "echo 'v:$conv.sgml:2:1:W: odd' > \"$err\"", 120, {"2:1:W: odd"}, false},
      {"false", "exit 1", 120, {failed + "…"}, true},
      {"empty-failure", ": > \"$err\"; exit 1", 120, {failed + "…"}, true},
      {"status-4",
       "echo 'v:$conv.sgml:3:1:E: some' > \"$err\"; exit 4",
       120,
       {"3:1:E: some", failed + "…"},
       true},
      {"crash",
       "echo 'v:$conv.sgml:4:1:E: first' > \"$err\"; kill -SEGV $$",
       120,
       {"4:1:E: first", "E: nsgmlsが異常終了: …"},
       true},
      {"no-file",
       "exit 0",
       120,
       {"E: エラーファイルを開けない: " + temp() + "tessavo-run-…"},
       true},
      {"hangs",
       "echo 'v:$conv.sgml:5:1:E: so far' > \"$err\"; exec sleep 600",
       1,
       {"5:1:E: so far", "E: nsgmlsが時間切れ: …"},
       true},
  };
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  for (const auto& c : cases) {
    const std::string validator = fakeValidator(c.name, c.body);
    const auto lines = check(validator, c.timeout);
    ASSERT_EQ(lines.size(), c.lines.size() + 2) << c.name;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      const std::string& want = c.lines[i];
      const std::string& got = lines[i + 1].text;
      if (want.size() > 3 && want.compare(want.size() - 3, 3, "…") == 0) {
        EXPECT_TRUE(startsWith(got, want.substr(0, want.size() - 3))) << c.name << ": " << got;
      } else {
        EXPECT_EQ(got, want) << c.name;
      }
      EXPECT_EQ(lines[i + 1].target, lines[0].target) << c.name;
    }
    EXPECT_EQ(incomplete_, c.incomplete) << c.name;
  }
  // The messages name the program and what became of it.
  targets_.clear();
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  const std::string crash = fakeValidator("crash", "kill -SEGV $$");
  EXPECT_EQ(check(crash)[1].text, "E: nsgmlsが異常終了: " + crash + ": SIGSEGV");
  EXPECT_EQ(check("/bin/false")[1].text, failed + "/bin/false: 終了コード 1");
  const std::string slow = fakeValidator("slow", "exec sleep 600");
  EXPECT_EQ(check(slow, 1)[1].text, "E: nsgmlsが時間切れ: " + slow + ": 1 秒");
}

TEST_F(CheckRunTest, TheValidatorGetsTheCopysEncodingWhateverTheUserExported) {
  ::setenv("SP_ENCODING", "UTF-8", 1);
  ::setenv("SP_CHARSET_FIXED", "NO", 1);
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  const auto lines = check(fakeValidator(
      "v",
      "echo \"v:$conv.sgml:1:1:E: $SP_CHARSET_FIXED $SP_ENCODING ${SP_BCTF-none}\" > \"$err\""));
  ::unsetenv("SP_ENCODING");
  ::unsetenv("SP_CHARSET_FIXED");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "1:1:E: YES EUC-JP none");
}

TEST_F(CheckRunTest, PreparationFailuresGiveOneLineAndTheRunGoesOn) {
  const std::string validator = fakeValidator("v", "echo 'val:f:1:1:E: checked' > \"$err\"");
  // Targets that are no documents are refused at once: nothing waits for a
  // FIFO's writer or reads a device without end.
  shell("mkfifo '" + docs() + "fifo.htm' && mkdir '" + docs() + "folder.htm'");
  fileTarget(docs() + "missing.htm");
  fileTarget(docs() + "fifo.htm");
  fileTarget("/dev/zero");
  fileTarget(docs() + "folder.htm");
  target(static_cast<TargetKind>(3), "gopher://x/");
  fileTarget(writeFile(docs() + "ok.htm", kDocument));
  const auto lines = check(validator);
  const std::string cannotOpen = "E: 入力ファイルを開けない: ";
  EXPECT_EQ(
      pane_.texts(),
      (Texts{"-------- " + docs() + "missing.htm", cannotOpen + docs() + "missing.htm",
             "-------- " + docs() + "fifo.htm", cannotOpen + docs() + "fifo.htm",
             "-------- /dev/zero", cannotOpen + "/dev/zero", "-------- " + docs() + "folder.htm",
             cannotOpen + docs() + "folder.htm", "-------- gopher://x/", "E: 未知のスキーム",
             "-------- " + docs() + "ok.htm", "f:1:1:E: checked", "検査終了"}));
  for (int i : {1, 3, 5, 7, 9}) {
    EXPECT_EQ(lines[i].line, -1);
    EXPECT_EQ(lines[i].target, lines[i - 1].target);
  }
  EXPECT_FALSE(incomplete_);  // each of these is the document's own failure
}

TEST_F(CheckRunTest, MissingValidatorEndsTheRun) {
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  fileTarget(writeFile(docs() + "b.htm", kDocument));
  const auto lines = check(folder_ + "no such validator");
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "a.htm",
                   "E: nsgmls.exeが見つかりません: " + folder_ + "no such validator", "検査終了"}));
  EXPECT_FALSE(lines[1].hasItem);
  EXPECT_TRUE(runFolders().empty());
  EXPECT_EQ(pane_.doneCount(), 1);
  EXPECT_TRUE(incomplete_);
}

// A pane whose memory runs out at the line `failing`, once.
class ExhaustedPane : public RecordingPane {
 public:
  explicit ExhaustedPane(std::string failing) : failing_(std::move(failing)) {}
  void AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) override {
    if (text == failing_) {
      failing_.clear();
      throw std::bad_alloc();
    }
    RecordingPane::AddLine(text, std::move(item));
  }

 private:
  std::string failing_;
};

TEST_F(CheckRunTest, MemoryThatRunsOutFailsTheTargetOrTheRunNeverTheProgram) {
  const std::string a = "-------- " + fileTarget(writeFile(docs() + "a.htm", kDocument))->location;
  const std::string b = "-------- " + fileTarget(writeFile(docs() + "b.htm", kDocument))->location;
  const std::string validator = fakeValidator(
      "v", "printf 'v:$conv.sgml:1:1:E: one\\nv:$conv.sgml:2:1:E: two\\n' > \"$err\"");
  const struct {
    std::string failing;
    Texts lines;
  } cases[] = {
      // Within a target's messages: that target says so, the next is checked.
      {"2:1:E: two",
       {a, "1:1:E: one", "E: メモリが足りない", b, "1:1:E: one", "2:1:E: two", "検査終了"}},
      // Outside a target's lines: the run ends with a line of its own.
      {b, {a, "1:1:E: one", "2:1:E: two", "E: メモリが足りない", "検査終了"}},
  };
  for (const auto& c : cases) {
    ExhaustedPane pane(c.failing);
    CheckJob job = jobFor(validator);
    job.mainWindow = &pane;
    job.errorPane = &pane;
    job.jobs = 2;
    RunSgml run;
    ASSERT_TRUE(run.start(&job));
    ASSERT_TRUE(pane.waitUntilDone());
    waitForThreadEnd(run);
    EXPECT_EQ(pane.texts(), c.lines) << c.failing;
    EXPECT_TRUE(run.incomplete()) << c.failing;
    EXPECT_TRUE(runFolders().empty()) << c.failing;
  }
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

TEST_F(CheckRunTest, FilesBesideTheDocumentsAreNeverTouched) {
  const std::string validator =
      fakeValidator("v", "pwd >> \"$DIR/folders\"; cat \"$in\" >> \"$DIR/seen\"; : > \"$err\"");
  // A user's own "$conv.sgml" (also checked as a target), links planted at
  // the run's file names, and a host path.
  writeFile(docs() + "$conv.sgml", "precious\n");
  writeFile(folder_ + "victim", "victim\n");
  shell("mkdir -p '" + docs() + "sub' && ln -s '" + folder_ + "victim' '" + docs() +
        "sub/$conv.sgml' && ln -s '" + folder_ + "victim' '" + docs() +
        "sub/$error.out' && ln -s '" + folder_ + "nowhere' '" + docs() + "$error.out'");
  const std::string before = readFile(docs() + "$conv.sgml");
  fileTarget(docs() + "$conv.sgml");
  fileTarget(writeFile(docs() + "sub/a.htm", "a\n"));
  fileTarget("/" + writeFile(docs() + "b.htm", "b\n"));  // "//tmp/...": a host part
  check(validator);
  EXPECT_EQ(readFile(folder_ + "seen"), "precious\r\na\r\nb\r\n");
  EXPECT_EQ(readFile(docs() + "$conv.sgml"), before);
  EXPECT_EQ(readFile(folder_ + "victim"), "victim\n");
  EXPECT_FALSE(exists(folder_ + "nowhere"));
  EXPECT_EQ(std::system(("test \"$(cd '" + docs() +
                         "' && ls -A . sub | tr '\\n' ' ')\" = "
                         "'.: $conv.sgml $error.out b.htm sub  sub: $conv.sgml $error.out a.htm '")
                            .c_str()),
            0);
  // Every validator run was in a run folder.
  std::stringstream folders(readFile(folder_ + "folders"));
  for (std::string line; std::getline(folders, line);) {
    EXPECT_TRUE(startsWith(line, temp() + "tessavo-run-")) << line;
  }
}

TEST_F(CheckRunTest, LongPathsAreNeverCutShort) {
  std::string deep = docs();
  for (int i = 0; i < 12; ++i) deep += std::string(100, 'd') + "/";
  shell("mkdir -p '" + deep + "'");
  fileTarget(writeFile(deep + "a.htm", kDocument));
  const auto lines = check(fakeValidator(
      "v", "[ -e \"$in\" ] && [ -d \"$docdir\" ] && echo 'val:x:3:1:E: long' > \"$err\""));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, "x:3:1:E: long");
}

TEST_F(CheckRunTest, EveryPathReachesTheValidatorAsPlainText) {
  // The validator reads the names on its command line in the copy's encoding:
  // a folder whose name is not plain ASCII is handed over through a link.
  const struct {
    const char* folder;
    bool linked;
  } cases[] = {
      {"plain", false},
      {"we\"ird 'one' \\ here", false},
      {"日本語 フォルダ", true},
      {"\xE9t\xE9", true},  // Latin-1 bytes, no character in either encoding
  };
  const std::string validator =
      fakeValidator("v",
                    "[ -e \"$in\" ] && [ -e \"$docdir/a.htm\" ] && "
                    "printf 'val:%s/a.dtd:1:1:E: reached\\n' \"$docdir\" > \"$err\"");
  for (const auto& c : cases) {
    std::filesystem::create_directories(docs() + c.folder);
    targets_.clear();
    fileTarget(writeFile(docs() + c.folder + "/a.htm", kDocument));
    const auto lines = check(validator);
    ASSERT_EQ(lines.size(), 3u) << c.folder;
    // A message about a file in a linked folder shows the real path.
    EXPECT_EQ(lines[1].text, docs() + c.folder + "/a.dtd:1:1:E: reached") << c.folder;
  }
}

// A validator that announces each run on the pipe "started" and then waits
// for a line on the pipe "release".
class HeldCheckRunTest : public CheckRunTest {
 protected:
  std::string heldValidator() {
    shell("mkfifo '" + folder_ + "release'");
    return fakeValidator("held",
                         "echo \"${in%.sgml}\" > \"$DIR/started\"\n"
                         "read line < \"$DIR/release\"\n"
                         "echo \"val:f:$line:1:E: run $line\" > \"$err\"");
  }

  // Lets the waiting validator run end, telling it `line`.
  void release(const std::string& line) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int fd = -1;
    // The validator opens the pipe just after it announced itself.
    while ((fd = ::open((folder_ + "release").c_str(), O_WRONLY | O_NONBLOCK)) < 0 &&
           std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_GE(fd, 0) << "the validator never waited for its release";
    const std::string text = line + "\n";
    EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fd);
  }
};

TEST_F(HeldCheckRunTest, StopDuringTheThirdValidatorRunEndsItAtOnce) {
  test_support::ReportPipe started(folder_ + "started");
  const std::string validator = heldValidator();
  for (const char* name : {"1.htm", "2.htm", "3.htm", "4.htm", "5.htm"}) {
    fileTarget(writeFile(docs() + name, kDocument));
  }
  CheckJob job = jobFor(validator);
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  for (int n = 1; n <= 3; ++n) {
    ASSERT_EQ(started.readLine(), "$conv\n") << "run " << n;
    if (n < 3) release(std::to_string(n));
  }
  const auto stopped = std::chrono::steady_clock::now();
  run.stop();
  ASSERT_TRUE(pane_.waitUntilDone(std::chrono::seconds(1))) << "the stop took more than a second";
  waitForThreadEnd(run);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "1.htm", "f:1:1:E: run 1", "-------- " + docs() + "2.htm",
                   "f:2:1:E: run 2", "-------- " + docs() + "3.htm", "E: 検査を中断したため未完了",
                   "検査終了"}));
  EXPECT_EQ(pane_.lines()[5].target, pane_.lines()[4].target);
  EXPECT_TRUE(run.incomplete());
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(CheckRunTest, LeftoversOfKilledRunsAreRemovedByTheNextRun) {
  const std::string leftover = temp() + "tessavo-run-" + std::to_string(endedProcess()) + "-abcdef";
  const std::string live = temp() + "tessavo-run-" + std::to_string(::getppid()) + "-abcdef";
  shell("mkdir -p '" + leftover + "' '" + live + "' && touch '" + leftover + "/$conv.sgml'");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  check(fakeValidator("v", ": > \"$err\""));
  EXPECT_FALSE(exists(leftover));
  EXPECT_TRUE(exists(live));
}

TEST_F(CheckRunTest, RunsAtTheSameTimeNeverSeeEachOthersFiles) {
  // The validator names the document it was given in its one message.
  const std::string validator =
      fakeValidator("v", "echo \"v:$conv.sgml:1:1:E: $(tail -n 1 \"$in\")\" > \"$err\"");
  std::vector<std::unique_ptr<CheckTarget>> documents;
  for (const char* name : {"a", "b", "c", "d"}) {
    documents.push_back(std::make_unique<CheckTarget>(
        CheckTarget{TargetKind::File, writeFile(docs() + name + ".htm", kDoctypeLine + name)}));
  }
  for (int round = 0; round < 5; ++round) {
    RecordingPane panes[2];
    CheckJob jobs[2];
    RunSgml runs[2];
    for (int r = 0; r < 2; ++r) {
      jobs[r].mainWindow = &panes[r];
      jobs[r].errorPane = &panes[r];
      jobs[r].validatorPath = validator;
      for (int i = 0; i < 4; ++i) jobs[r].targets.push_back(documents[r == 0 ? i : 3 - i].get());
    }
    ASSERT_TRUE(runs[0].start(&jobs[0]));
    ASSERT_TRUE(runs[1].start(&jobs[1]));
    for (int r = 0; r < 2; ++r) {
      ASSERT_TRUE(panes[r].waitUntilDone()) << "run " << r;
      waitForThreadEnd(runs[r]);
      Texts expected;
      for (const CheckTarget* document : jobs[r].targets) {
        expected.push_back("-------- " + document->location);
        expected.push_back("1:1:E: " + document->location.substr(docs().size(), 1));
      }
      expected.push_back("検査終了");
      EXPECT_EQ(panes[r].texts(), expected) << "round " << round << ", run " << r;
    }
  }
  EXPECT_TRUE(runFolders().empty());
}

TEST_F(CheckRunTest, LinesReachThePaneInCp932) {
  CodePageScope cp932(platform::CodePage::Cp932);
  writeFile(folder_ + "canned", "v:$conv.sgml:1:1:E: \xA4\xA2\n");
  fileTarget(writeFile(docs() + "a.htm", kDocument));
  fileTarget(docs() + "missing.htm");
  check(fakeValidator("v", kCannedBody));
  EXPECT_EQ(pane_.texts(),
            (Texts{"-------- " + docs() + "a.htm", "1:1:E: \x82\xA0",
                   "-------- " + docs() + "missing.htm",
                   "E: \x93\xFC\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x8A\x4A\x82\xAF"
                   "\x82\xC8\x82\xA2: " +
                       docs() + "missing.htm",
                   "\x8C\x9F\x8D\xB8\x8F\x49\x97\xB9"}));
}

}  // namespace
