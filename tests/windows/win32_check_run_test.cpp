// The check run on Windows, with the stand-in validator: designed error
// lines for a document whose CP932 path holds trail bytes 0x5C, a crash, a
// time-out, a stop, and an https target, with nothing left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/run_sgml.h"
#include "platform/file_system.h"
#include "platform/local_text.h"
#include "platform/temp_files.h"
#include "tests/support/file_contents.h"
#include "tests/support/recording_pane.h"
#include "tests/support/temp_folder.h"
#include "tests/windows/one_reply_server.h"
#include "tests/windows/standin.h"

namespace {

const std::string kHyou = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";    // ソ

std::string local(const char* utf8) {
  return platform::localText(utf8);
}

// The run folders of this process in the temporary folder.
int runFoldersLeft() {
  WIN32_FIND_DATAA found{};
  const std::string pattern =
      platform::tempFolder() + "tessavo-run-" + std::to_string(GetCurrentProcessId()) + "-*";
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

class Win32CheckRun : public ::testing::Test {
 protected:
  void SetUp() override {
    docs_ = temp_.path() + kHyou + "\\";
    ASSERT_TRUE(CreateDirectoryA(docs_.c_str(), nullptr));
    document_ = test_support::writeFile(docs_ + kSo + ".htm",
                                        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML "
                                        "4.01//EN\">\n<title>\x83\x5C</title>\n<p>\x95\x5C\n");
  }

  // Runs the job to its end; `during` runs on the test's thread meanwhile.
  std::vector<std::string> check(const std::vector<std::string>& locations,
                                 const std::string& validator, int timeout = 60,
                                 const std::function<void(RunSgml&)>& during = nullptr) {
    std::vector<std::unique_ptr<CheckTarget>> targets;
    CheckJob job;
    job.mainWindow = &pane_;
    job.errorPane = &pane_;
    for (const std::string& location : locations) {
      const bool http = location.rfind("http", 0) == 0;
      targets.push_back(std::make_unique<CheckTarget>(
          CheckTarget{http ? TargetKind::Http : TargetKind::File, location}));
      job.targets.push_back(targets.back().get());
    }
    job.validatorPath = validator;
    job.validatorTimeout = timeout;
    RunSgml run;
    EXPECT_TRUE(run.start(&job));
    if (during) during(run);
    pane_.waitUntilDone();
    test_support::waitUntil([&run] { return !run.isRunning(); }, "the checking thread to end");
    EXPECT_EQ(runFoldersLeft(), 0);
    return pane_.texts();
  }

  test_support::TempFolder temp_{"win32_check_run"};
  std::string docs_;
  std::string document_;
  RecordingPane pane_;
};

TEST_F(Win32CheckRun, DesignedLinesOfADocumentInAFolderWithTrailBytes) {
  const Standin standin(temp_.path(), "nsgmls",
                        "write nsgmls:$in:3:4:E: element \"P\" not allowed here\n"
                        "write nsgmls:$in:2:1:W: \xA4\xA2 in the validator's EUC-JP\n"
                        "exit 1\n");
  const auto lines = check({document_}, standin.path());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "-------- " + document_, "3:4:E: element \"P\" not allowed here",
                       "2:1:W: \x82\xA0 in the validator's EUC-JP", local("検査終了")}));
  // The validator got the designed options and the copy in the run
  // folder, in EUC-JP.
  const std::string log = standin.log();
  EXPECT_NE(log.find(" -f$error.out -s "), std::string::npos) << log;
  EXPECT_NE(log.find(" $conv.sgml\nEUC-JP\n" + platform::tempFolder()), std::string::npos) << log;
}

TEST_F(Win32CheckRun, CrashTimeOutAndExitCodeEachGetTheirLine) {
  const Standin crash(temp_.path(), "crash", "write v:$in:1:1:E: before the crash\ncrash\n");
  const Standin slow(temp_.path(), "slow", "spawn\nhang\n");
  const Standin failing(temp_.path(), "failing", "exit 3\n");
  const struct {
    const Standin& validator;
    int timeout;
    std::vector<std::string> lines;
  } cases[] = {
      {crash,
       60,
       {"1:1:E: before the crash",
        local("E: nsgmlsが異常終了: ") + crash.path() + ": STATUS_ACCESS_VIOLATION (0xC0000005)"}},
      {slow, 1, {local("E: nsgmlsが時間切れ: ") + slow.path() + local(": 1 秒")}},
      {failing, 60, {local("E: nsgmlsが失敗: ") + failing.path() + local(": 終了コード 3")}},
  };
  for (const auto& c : cases) {
    pane_.ClearLines();
    std::vector<std::string> want = {"-------- " + document_};
    want.insert(want.end(), c.lines.begin(), c.lines.end());
    want.push_back(local("検査終了"));
    EXPECT_EQ(check({document_}, c.validator.path(), c.timeout), want);
  }
  EXPECT_FALSE(Standin::isRunning(slow.childProcess()));
}

TEST_F(Win32CheckRun, StopEndsTheValidatorAndItsChildren) {
  const Standin held(temp_.path(), "held", "spawn\nhang\n");
  const auto lines = check({document_, document_}, held.path(), 60, [&held](RunSgml& run) {
    held.waitForRun();
    test_support::waitUntil([&held] { return held.childProcess() != 0; }, "the validator's child");
    run.stop();
  });
  EXPECT_EQ(lines,
            (std::vector<std::string>{"-------- " + document_, local("E: 検査を中断したため未完了"),
                                      local("検査終了")}));
  EXPECT_FALSE(Standin::isRunning(held.childProcess()));
}

TEST_F(Win32CheckRun, HttpsTargetsSayTheyCannotBeChecked) {
  const Standin standin(temp_.path(), "nsgmls", "");
  // Refused before any connection: also where no server answers.
  const auto lines = check({"https://127.0.0.1:1/"}, standin.path());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[1].find(local("https はこの版では検査できません")), std::string::npos)
      << lines[1];
  EXPECT_EQ(lines[1].rfind("E: ", 0), 0u);
}

// An http target is downloaded into the run folder, converted and checked
// like a file.
TEST_F(Win32CheckRun, HttpTargetsAreDownloadedAndChecked) {
  const Standin standin(temp_.path(), "nsgmls", "write nsgmls:$in:2:8:E: \xA5\xBD here\nexit 1\n");
  const std::string page =
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<title>\x83\x5C</title>\n";
  OneReplyServer server(
      "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=Shift_JIS\r\n"
      "Content-Length: " +
      std::to_string(page.size()) + "\r\n\r\n" + page);
  const std::string uri = server.uri("/doc.html");
  EXPECT_EQ(
      check({uri}, standin.path()),
      (std::vector<std::string>{"-------- " + uri, "2:8:E: \x83\x5C here", local("検査終了")}));
  EXPECT_EQ(server.request().rfind("GET /doc.html HTTP/1.1\r\n", 0), 0u);
}

}  // namespace
