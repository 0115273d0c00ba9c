// The window's check beside a tessavo-check, its stop command against a
// validator that never ends, and the descriptors an editor it starts gets.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/report_pipe.h"
#include "ui/command_ids.h"
#include "ui/prev_instance.h"
#include "window_fixture.h"

extern char** environ;

namespace {

// Window tests with a private temporary folder, shared with any
// tessavo-check the test starts.
class CheckIsolationTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    temp_ = (folder / "temp").string();
    std::filesystem::create_directories(temp_);
    ::chmod(temp_.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", temp_.c_str(), 1);
  }

  std::vector<std::string> paneTexts() {
    std::vector<std::string> texts;
    for (long i = 0; i < errors->lineCount(); ++i) texts.push_back(errors->lineText(i));
    return texts;
  }

  // Starts tessavo-check on `documents`, its output into `output`.
  pid_t startChecker(const std::vector<std::string>& documents, const std::string& output) {
    std::vector<std::string> arguments{TESSAVO_BINARY_DIR "/bin/tessavo-check"};
    arguments.insert(arguments.end(), documents.begin(), documents.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // Lets the window work until the checker ends; its exit status, or -1.
  int waitForChecker(pid_t pid) {
    int status = 0;
    if (!waitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 60000)) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string temp_;
};

TEST_F(CheckIsolationTest, TheWindowAndTessavoCheckAtOnceGiveTheirSoloResults) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  std::vector<std::string> documents;
  for (const char* name : {"euc-jp-errors.html", "iso-2022-jp-errors.html", "ascii-valid.html",
                           "shift_jis-valid.html"}) {
    documents.push_back((folder / "docs" / name).string());
    std::filesystem::create_directories(folder / "docs");
    std::filesystem::copy_file(std::string(TESSAVO_SOURCE_DIR "/samples/") + name,
                               documents.back());
  }
  open();
  for (const std::string& document : documents) files->AddFile(document);
  command(ID_CHECK_ALL);
  waitForRunEnd();
  const std::vector<std::string> soloWindow = paneTexts();
  ASSERT_GT(soloWindow.size(), 8u);
  const std::string soloOutput = (folder / "solo.out").string();
  ASSERT_EQ(waitForChecker(startChecker(documents, soloOutput)), 1);
  const std::string soloChecker = readText(soloOutput);

  for (int round = 0; round < 5; ++round) {
    const std::string output = (folder / "beside.out").string();
    const pid_t checker = startChecker(documents, output);
    ASSERT_GT(checker, 0);
    command(ID_CHECK_ALL);
    waitForRunEnd();
    EXPECT_EQ(waitForChecker(checker), 1) << "round " << round;
    EXPECT_EQ(paneTexts(), soloWindow) << "round " << round;
    EXPECT_EQ(readText(output), soloChecker) << "round " << round;
  }
  EXPECT_TRUE(std::filesystem::is_empty(temp_));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "docs"),
                          std::filesystem::directory_iterator()),
            4);
}

TEST_F(CheckIsolationTest, StopEndsAValidatorThatNeverEndsWithinASecond) {
  test_support::ReportPipe started((folder / "started").string());
  const std::string held =
      writeFile("held", "#!/bin/sh\necho started > '" + started.path() + "'\nexec sleep 600\n");
  std::filesystem::permissions(held, std::filesystem::perms::owner_all);
  writeSettings("SP Location=" + held + "\n");
  open();
  const std::string first = writeFile("a.htm", "<p>a\n");
  files->AddFile(first);
  files->AddFile(writeFile("b.htm", "<p>b\n"));
  command(ID_CHECK_ALL);
  ASSERT_EQ(started.readLine(), "started\n");
  EXPECT_TRUE(enabled(ID_CHECK_ABORT));
  const auto stopped = std::chrono::steady_clock::now();
  command(ID_CHECK_ABORT);
  ASSERT_TRUE(waitUntil([this] { return !frame->isChecking(); }, 1000))
      << "the run went on for more than a second after 検査中断";
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(1));
  waitForRunEnd();
  EXPECT_EQ(paneTexts(), (std::vector<std::string>{"-------- " + first,
                                                   "E: 検査を中断したため未完了", "検査終了"}));
  ASSERT_TRUE(errors->item(1));
  EXPECT_EQ(errors->item(1)->target->location, first);
  EXPECT_TRUE(std::filesystem::is_empty(temp_));
}

TEST_F(CheckIsolationTest, AnEditorGetsOnlyStandardInputOutputAndError) {
  // The instance lock and the listening socket are open, as in the program,
  // and so is a descriptor someone opened without close-on-exec.
  CPrevInstance instance;
  ASSERT_FALSE(instance.handOverToRunning({}));
  ASSERT_TRUE(instance.serve([] {}, [](const std::string&) {}));
  const int leaked = ::open("/dev/null", O_RDONLY);
  test_support::ReportPipe report((folder / "descriptors").string());
  // A template without "%f" gets the path at its end, which the stand-in
  // leaves alone; it reports into the pipe.
  writeSettings("Editor=" TESSAVO_BINARY_DIR "/bin/descriptor_report " + report.path() + " %l\n");
  open();
  files->AddFile(writeFile("a.htm", "<p>\n"));
  files->selectLine(0);
  frame->setActivePane(files);
  frame->OnOpenEditor();
  EXPECT_EQ(report.readLine(), "0 1 2\n");
  ::close(leaked);
  instance.release();
}

}  // namespace
