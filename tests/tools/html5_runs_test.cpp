// tessavo-check with the HTML5 checker: two runs at once, each with a
// checker of its own that ends with it, a signal that ends the checker with
// the run, and message filters.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>

#include "checker_fixture.h"
#include "tests/support/process_end.h"
#include "tests/support/report_pipe.h"

namespace {

const std::string kJar = TESSAVO_BINARY_DIR "/bin/vnu.jar";
const char kPage[] =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>t</title></head>\n"
    "<body>\n<div><span>x</div>\n</body>\n</html>\n";

// Whether any process's command line holds `text`.
bool anyProcessNames(const std::string& text) {
  DIR* proc = ::opendir("/proc");
  bool found = false;
  while (const dirent* entry = proc != nullptr ? ::readdir(proc) : nullptr) {
    const std::string command =
        test_support::readFile(std::string("/proc/") + entry->d_name + "/cmdline");
    found = found || command.find(text) != std::string::npos;
  }
  if (proc != nullptr) ::closedir(proc);
  return found;
}

using Html5RunsTest = CheckerTest;

TEST_F(Html5RunsTest, TwoRunsAtOnceEachHaveTheirOwnCheckerThatEndsWithThem) {
  if (!std::filesystem::exists(kJar)) GTEST_SKIP() << kJar << " is missing";
  writeFile(folder_ + "page.html", kPage);
  // Through a link of this test's, so that the checkers' command lines name
  // this folder.
  std::filesystem::create_symlink(kJar, folder_ + "vnu.jar");
  const std::vector<std::string> arguments = {"--html5-checker", folder_ + "vnu.jar", "--format",
                                              "json", "page.html"};
  const pid_t first = start(arguments, folder_ + "first.json");
  const pid_t second = start(arguments, folder_ + "second.json");
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  const int firstStatus = waitFor(first, 150000);
  const int secondStatus = waitFor(second, 150000);
  ASSERT_TRUE(WIFEXITED(firstStatus) && WIFEXITED(secondStatus));
  EXPECT_EQ(WEXITSTATUS(firstStatus), 1);
  EXPECT_EQ(WEXITSTATUS(secondStatus), 1);
  const std::string output = readFile(folder_ + "first.json");
  EXPECT_EQ(readFile(folder_ + "second.json"), output);
  const nlohmann::json report = nlohmann::json::parse(output);
  const nlohmann::json& target = report["targets"][0];
  EXPECT_EQ(target["checker"], "html5");
  EXPECT_EQ(target["state"], "checked");
  EXPECT_FALSE(target["messages"].empty());
  for (const nlohmann::json& message : target["messages"]) EXPECT_EQ(message["line"], 5);
  EXPECT_FALSE(anyProcessNames(folder_ + "vnu.jar")) << "a checker outlived its run";
}

TEST_F(Html5RunsTest, ASignalEndsTheCheckerWithTheRun) {
  test_support::ReportPipe standInPid(folder_ + "stand-in.pid");
  // Listens on 127.0.0.1, accepts, and never answers.
  const std::string standIn = folder_ + "java";
  std::string script = R"PY(#!/usr/bin/env python3
import os, socket
s = socket.socket()
s.bind(('127.0.0.1', 0))
s.listen()
c = s.accept()
with open(PID_PIPE, 'w') as f: f.write('%d\n' % os.getpid())
while True: c[0].recv(1 << 16) or os.pause()
)PY";
  script.replace(script.find("PID_PIPE"), 8, "'" + standInPid.path() + "'");
  writeFile(standIn, script);
  ::chmod(standIn.c_str(), 0755);
  writeSettings("Java=" + standIn + "\n");
  writeFile(folder_ + "page.html", kPage);
  writeFile(folder_ + "vnu.jar", "");
  const pid_t checker = start({"--html5-checker", "vnu.jar", "page.html"}, folder_ + "out");
  ASSERT_GT(checker, 0);
  const std::string pid = standInPid.readLine();
  ASSERT_NE(pid.find('\n'), std::string::npos) << pid;
  ::kill(checker, SIGTERM);
  const int status = waitFor(checker, 1000);
  ASSERT_NE(status, -1) << "still running a second after SIGTERM";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(readFile(folder_ + "out"),
            "-------- page.html\nE: 検査を中断したため未完了\n検査終了\n");
  EXPECT_TRUE(test_support::processEnded(std::atoi(pid.c_str()))) << "the checker runs on";
}

TEST_F(Html5RunsTest, FiltersDropMessagesFromOutputAndStatus) {
  const std::string validator =
      scriptValidator("echo",
                      "printf 'v:$conv.sgml:1:0:E: element \"BLINK\" undefined\\n"
                      "v:$conv.sgml:2:0:W: odd\\n' > \"$err\"");
  writeFile(folder_ + "page.html", "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n");
  writeFile(folder_ + "patterns", "# the blink element is accepted here\nBLINK\n");
  const std::string check = "--validator '" + validator + "' ";
  const struct {
    std::string settings;
    std::string arguments;
    int status;
    std::string output;
  } cases[] = {
      {"", "page.html", 1,
       "-------- page.html\n1:0:E: element \"BLINK\" undefined\n2:0:W: odd\n検査終了\n"},
      {"", "--filter BLINK page.html", 0, "-------- page.html\n2:0:W: odd\n検査終了\n"},
      {"MessageFilter=" + folder_ + "patterns\n", "--filter=:W: page.html", 0,
       "-------- page.html\n検査終了\n"},
      {"", "--filter '(' page.html", 2, ""},
      {"MessageFilter=" + folder_ + "missing\n", "page.html", 2, ""},
  };
  for (const auto& c : cases) {
    writeSettings(c.settings);
    const Result result = run(check + c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments;
    EXPECT_EQ(result.output, c.output) << c.arguments;
  }
  writeSettings("");
  const nlohmann::json report =
      nlohmann::json::parse(run(check + "--format json --filter BLINK page.html").output);
  EXPECT_EQ(report["summary"]["errors"], 0);
  EXPECT_EQ(report["summary"]["warnings"], 1);
  EXPECT_EQ(report["targets"][0]["checker"], "sgml");
}

}  // namespace
