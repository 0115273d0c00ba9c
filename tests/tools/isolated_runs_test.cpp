// tessavo-check runs beside other runs, stops when asked, and says when its
// validator or its temporary folder failed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "checker_fixture.h"
#include "tests/support/process_end.h"
#include "tests/support/report_pipe.h"

namespace {

using IsolatedRunsTest = CheckerTest;

TEST_F(IsolatedRunsTest, TwoChecksAtOnceGiveTheirSoloOutput) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  // Both check the same documents, in the same temporary folder; the
  // second one in another order and with a folder scan.
  const std::string first =
      "samples/euc-jp-errors.html samples/iso-2022-jp-errors.html samples/ascii-valid.html";
  const std::string second = "samples";
  const Result soloFirst = run(first);
  const Result soloSecond = run(second);
  ASSERT_EQ(soloFirst.status, 1);
  ASSERT_NE(soloFirst.output.find("BLINK"), std::string::npos);
  for (int round = 0; round < 20; ++round) {
    const pid_t a = start({"samples/euc-jp-errors.html", "samples/iso-2022-jp-errors.html",
                           "samples/ascii-valid.html"},
                          folder_ + "a.out");
    const pid_t b = start({"samples"}, folder_ + "b.out");
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    const int statusA = waitFor(a, 60000);
    const int statusB = waitFor(b, 60000);
    ASSERT_TRUE(WIFEXITED(statusA) && WIFEXITED(statusB)) << "round " << round;
    EXPECT_EQ(WEXITSTATUS(statusA), soloFirst.status) << "round " << round;
    EXPECT_EQ(WEXITSTATUS(statusB), soloSecond.status) << "round " << round;
    EXPECT_EQ(readFile(folder_ + "a.out"), soloFirst.output) << "round " << round;
    EXPECT_EQ(readFile(folder_ + "b.out"), soloSecond.output) << "round " << round;
  }
  EXPECT_EQ(runFolders(), "");
  // Nothing was ever written beside the documents.
  EXPECT_EQ(std::system(("cd '" + folder_ +
                         "samples' && test -z \"$(ls -A | grep -v -e '\\.html$' "
                         "-e '\\.tvx$' -e README.md)\"")
                            .c_str()),
            0);
}

TEST_F(IsolatedRunsTest, SignalsStopTheRunWithinASecond) {
  test_support::ReportPipe validatorPid(folder_ + "validator.pid");
  const std::string held =
      scriptValidator("held", "echo $$ > '" + validatorPid.path() + "'; exec sleep 600");
  const struct {
    int signal;
    bool toGroup;  // as a terminal's Ctrl+C reaches the whole job
  } cases[] = {{SIGTERM, false}, {SIGINT, true}, {SIGHUP, false}};
  for (const auto& c : cases) {
    // One validator at a time, so that the second target is surely not
    // taken up yet when the signal comes.
    const pid_t checker = start(
        {"-j", "1", "--validator", held, "samples/ascii-valid.html", "samples/html2-valid.html"},
        folder_ + "out");
    ASSERT_GT(checker, 0);
    const std::string pid = validatorPid.readLine();
    ASSERT_NE(pid.find('\n'), std::string::npos) << pid;
    ::kill(c.toGroup ? -checker : checker, c.signal);
    const int status = waitFor(checker, 1000);
    ASSERT_NE(status, -1) << strsignal(c.signal) << ": still running after a second";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
    EXPECT_EQ(readFile(folder_ + "out"),
              "-------- samples/ascii-valid.html\nE: 検査を中断したため未完了\n検査終了\n");
    EXPECT_TRUE(test_support::processEnded(std::atoi(pid.c_str()))) << "the validator runs on";
    EXPECT_EQ(runFolders(), "") << strsignal(c.signal);
  }
}

TEST_F(IsolatedRunsTest, JsonStaysWholeAfterASecondSignal) {
  test_support::ReportPipe validatorPid(folder_ + "validator.pid");
  const std::string held =
      scriptValidator("held", "echo $$ > '" + validatorPid.path() + "'; exec sleep 600");
  const pid_t checker =
      start({"-j", "8", "--format", "json", "--validator", held, "samples"}, folder_ + "out");
  ASSERT_GT(checker, 0);
  const std::string line = validatorPid.readLine();
  ASSERT_NE(line.find('\n'), std::string::npos) << line;
  ::kill(-checker, SIGINT);
  ::kill(-checker, SIGTERM);
  const int status = waitFor(checker, 2000);
  ASSERT_NE(status, -1) << "still running after two signals";
  EXPECT_TRUE(WIFSIGNALED(status)) << status;
  const std::string output = readFile(folder_ + "out");
  const nlohmann::json json = nlohmann::json::parse(output, nullptr, false);
  ASSERT_FALSE(json.is_discarded()) << output;
  EXPECT_EQ(json["exitStatus"], 2);
  EXPECT_EQ(json["targets"].size(), 5u) << output;
  EXPECT_EQ(runFolders(), "");
}

TEST_F(IsolatedRunsTest, ClosedOutputPipeStopsTheRunAndRemovesItsFolder) {
  // More lines than a pipe holds, so that the checker writes on after the
  // reader has gone.
  const std::string chatty = scriptValidator(
      "chatty",
      "i=0; while [ $i -lt 3000 ]; do echo \"v:x:$i:1:E: line $i\"; i=$((i+1)); done > \"$err\"");
  shell("cd '" + folder_ + "' && { XDG_RUNTIME_DIR='" + folder_ + "temp' XDG_CONFIG_HOME='" +
        folder_ + "config' '" + kChecker + "' -j 2 --validator '" + chatty +
        "' samples; echo $? > status; } | head -2 > head.out");
  EXPECT_EQ(readFile(folder_ + "head.out"), "-------- samples/ascii-valid.html\n0:1:E: line 0\n");
  EXPECT_EQ(readFile(folder_ + "status"), "141\n") << "ended by SIGPIPE, as pipeline programs are";
  EXPECT_EQ(runFolders(), "");
}

TEST_F(IsolatedRunsTest, CtrlCDuringManyJobsStopsEveryTargetCrashingNone) {
  // Many short validator runs at once, so that the Ctrl+C often comes while
  // a validator is being started.
  std::filesystem::create_directories(folder_ + "many");
  for (int i = 0; i < 200; ++i) {
    std::filesystem::copy_file(folder_ + "samples/ascii-valid.html",
                               folder_ + "many/" + std::to_string(i) + ".html");
  }
  const std::string validator =
      scriptValidator("quick", "echo > \"$TESSAVO_RUNNING\"; echo 'v:x:1:1:E: seen' > \"$err\"");
  for (int round = 0; round < 12; ++round) {
    // A pipe per round, so that no late word of the last round counts.
    test_support::ReportPipe running(folder_ + "running" + std::to_string(round));
    const pid_t checker = start({"-j", "8", "--validator", validator, "many"}, folder_ + "out",
                                {"TESSAVO_RUNNING=" + running.path()});
    ASSERT_GT(checker, 0);
    ASSERT_NE(running.readLine().find('\n'), std::string::npos) << "round " << round;
    ::kill(-checker, SIGINT);
    const int status = waitFor(checker, 2000);
    ASSERT_NE(status, -1) << "round " << round << ": still running";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    const std::string output = readFile(folder_ + "out");
    // Targets whose validator was running say they were not finished; a
    // stop that falls between two targets leaves none unfinished, so how
    // many there are varies. None may read as a crash.
    EXPECT_EQ(output.find("異常終了"), std::string::npos) << "round " << round << "\n" << output;
  }
  EXPECT_EQ(runFolders(), "");
}

TEST_F(IsolatedRunsTest, KilledCheckerLeavesNoValidatorRunning) {
  test_support::ReportPipe validatorPid(folder_ + "validator.pid");
  const std::string held =
      scriptValidator("held", "echo $$ > '" + validatorPid.path() + "'; exec sleep 600");
  const pid_t checker = start({"--validator", held, "samples/ascii-valid.html"}, folder_ + "out");
  ASSERT_GT(checker, 0);
  const std::string line = validatorPid.readLine();
  ASSERT_NE(line.find('\n'), std::string::npos) << line;
  ::kill(checker, SIGKILL);
  EXPECT_NE(waitFor(checker, 1000), -1);
  const pid_t validator = std::atoi(line.c_str());
  const bool ended = test_support::processEnded(validator);
  if (!ended) ::kill(validator, SIGKILL);
  EXPECT_TRUE(ended) << "the validator runs on after its checker was killed";
}

TEST_F(IsolatedRunsTest, FailingValidatorsGiveTheirLineAndStatusTwo) {
  const struct {
    const char* name;
    std::string body;
    const char* lines;  // after the header
  } cases[] = {
      {"crash", "echo 'v:$conv.sgml:3:1:E: first' > \"$err\"; kill -SEGV $$",
       "3:1:E: first\nE: nsgmlsが異常終了: {}: SIGSEGV\n"},
      {"false", "exit 1", "E: nsgmlsが失敗: {}: 終了コード 1\n"},
      {"status-4", "echo 'v:$conv.sgml:2:1:E: some' > \"$err\"; exit 4",
       "2:1:E: some\nE: nsgmlsが失敗: {}: 終了コード 4\n"},
  };
  for (const auto& c : cases) {
    const std::string validator = scriptValidator(c.name, c.body);
    std::string lines = c.lines;
    lines.replace(lines.find("{}"), 2, validator);
    const Result result = run("--validator '" + validator + "' samples/ascii-valid.html");
    EXPECT_EQ(result.status, 2) << c.name;
    EXPECT_EQ(result.output, "-------- samples/ascii-valid.html\n" + lines + "検査終了\n")
        << c.name;
  }
  const Result bare = run("--validator /bin/false samples/ascii-valid.html");
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(
      bare.output,
      "-------- samples/ascii-valid.html\nE: nsgmlsが失敗: /bin/false: 終了コード 1\n検査終了\n");
}

TEST_F(IsolatedRunsTest, FullTemporaryFolderIsNeverNoErrors) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  const std::string mount = folder_ + "small";
  std::filesystem::create_directories(mount);
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << strerror(errno)
                 << "): the full-folder case needs root or a user namespace";
  }
  // Pages left free: none (the copy cannot be made), or one (the copy fits,
  // the validator's error file does not).
  const struct {
    int freePages;
    std::vector<std::string> lines;
  } cases[] = {
      {0, {"E: 中間ファイルに書き込めない: "}},
      {1, {"E: nsgmlsが失敗: ", "E: 一時フォルダに空きがない: " + mount + "/tessavo-run-"}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(mount + "/filler");
    writeFile(mount + "/filler", std::string((16 - c.freePages) * 4096, 'x'));
    const Result result = run("samples/euc-jp-errors.html", "XDG_RUNTIME_DIR='" + mount + "'");
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_EQ(result.output.rfind("-------- samples/euc-jp-errors.html\n", 0), 0u);
    for (const std::string& line : c.lines) {
      EXPECT_NE(result.output.find("\n" + line), std::string::npos) << result.output;
    }
    EXPECT_EQ(result.output.find("BLINK"), std::string::npos) << "a cut-short list as if whole";
  }
  ::umount2(mount.c_str(), MNT_DETACH);
}

TEST_F(IsolatedRunsTest, ErrorFileCutByAFullFolderShowsNoFragments) {
  const std::string mount = folder_ + "small";
  std::filesystem::create_directories(mount);
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << strerror(errno) << ")";
  }
  // 12 KiB of messages, 8 KiB of room after the copy: the error file ends
  // in the middle of a line.
  const std::string many =
      scriptValidator("many",
                      "i=0; while [ $i -lt 400 ]; do echo \"v:x:$i:1:E: message number $i\"; "
                      "i=$((i+1)); done > \"$err\"");
  writeFile(mount + "/filler", std::string(13 * 4096, 'x'));
  const Result result =
      run("--validator '" + many + "' samples/ascii-valid.html", "XDG_RUNTIME_DIR='" + mount + "'");
  ::umount2(mount.c_str(), MNT_DETACH);
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.output.find("\nE: 一時フォルダに空きがない: "), std::string::npos)
      << result.output;
  // Every line is the header, a line of ours, or the closing line: no piece
  // of a message.
  std::size_t start = 0;
  for (std::size_t end; (end = result.output.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string line = result.output.substr(start, end - start);
    EXPECT_TRUE(line.rfind("-------- ", 0) == 0 || line.rfind("E: ", 0) == 0 || line == "検査終了")
        << line;
  }
}

TEST_F(IsolatedRunsTest, TemporaryFolderThatCannotBeMadeIsNamedWithItsReason) {
  writeFile(folder_ + "a-file", "x");
  shell("mkdir -m 0500 '" + folder_ + "closed'");
  const std::string own = "/tessavo-" + std::to_string(::getuid());
  struct Case {
    std::string tmpdir;
    const char* reason;
  };
  std::vector<Case> cases = {{folder_ + "missing", "No such file or directory"},
                             {folder_ + "a-file", "Not a directory"}};
  // The superuser may write anywhere.
  if (::geteuid() != 0) cases.push_back({folder_ + "closed", "Permission denied"});
  for (const Case& c : cases) {
    const Result result = run("--validator /bin/true samples/ascii-valid.html",
                              "XDG_RUNTIME_DIR= TMPDIR='" + c.tmpdir + "'");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.output,
              "E: 一時フォルダを作れない: " + c.tmpdir + own + ": " + c.reason + "\n検査終了\n");
  }
}

TEST_F(IsolatedRunsTest, PerUserFolderOfAnotherCostsOneFolderNotOnePerRun) {
  const std::string own = "tessavo-" + std::to_string(::getuid());
  // A link planted at the name, and (the superuser can give one away) a
  // folder of another user.
  std::vector<std::string> plants = {"mkdir elsewhere && ln -s elsewhere " + own};
  if (::geteuid() == 0) plants.push_back("mkdir " + own + " && chown 65534 " + own);
  const std::string validator = fakeValidator("v", "v:x:1:1:E: seen");
  for (std::size_t i = 0; i < plants.size(); ++i) {
    const std::string base = folder_ + "base" + std::to_string(i) + "/";
    shell("mkdir '" + base + "' && cd '" + base + "' && " + plants[i]);
    for (int round = 0; round < 3; ++round) {
      const Result result = run("--validator '" + validator + "' samples/ascii-valid.html",
                                "XDG_RUNTIME_DIR= TMPDIR='" + base + "'");
      EXPECT_EQ(result.status, 1) << plants[i] << "\n" << result.output;
    }
    int folders = 0;
    for (const auto& entry : std::filesystem::directory_iterator(base)) {
      if (entry.path().filename().string().rfind(own + "-", 0) == 0) ++folders;
    }
    EXPECT_EQ(folders, 1) << plants[i];
  }
}

TEST_F(IsolatedRunsTest, TargetsThatAreNoDocumentsAreRefusedAtOnce) {
  shell("cd '" + folder_ + "' && mkfifo fifo.html && mkdir folder.html");
  writeFile(folder_ + "odd.tvx", "tvx1\nfile\tfifo.html\nfile\t/dev/zero\nfile\tfolder.html\n");
  const pid_t checker =
      start({"--validator", fakeValidator("v", "v:x:1:1:E: checked"), "odd.tvx"}, folder_ + "out");
  ASSERT_GT(checker, 0);
  const int status = waitFor(checker, 20000);
  ASSERT_NE(status, -1) << "the check hung on a target that is no document";
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(readFile(folder_ + "out"),
            "-------- /dev/zero\nE: 入力ファイルを開けない: /dev/zero\n"
            "-------- fifo.html\nE: 入力ファイルを開けない: fifo.html\n"
            "-------- folder.html\nE: 入力ファイルを開けない: folder.html\n検査終了\n");
}

TEST_F(IsolatedRunsTest, AnyValidatorPathAndAnyExportedEncodingWork) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  const Result plain = run("samples/euc-jp-errors.html");
  ASSERT_NE(plain.output.find("右"), std::string::npos);
  shell("mkdir -p '" + folder_ + "a \"quoted\" folder' && ln -s \"$(command -v onsgmls)\" '" +
        folder_ + "a \"quoted\" folder/onsgmls'");
  const Result quoted =
      run("--validator '" + folder_ + "a \"quoted\" folder/onsgmls' samples/euc-jp-errors.html",
          "SP_ENCODING=UTF-8 SP_CHARSET_FIXED=NO");
  EXPECT_EQ(quoted.status, plain.status);
  EXPECT_EQ(quoted.output, plain.output);
}

TEST_F(IsolatedRunsTest, ValidatorTimeoutComesFromTheSettings) {
  const std::string slow = scriptValidator("slow", "exec sleep 600");
  writeSettings("ValidatorTimeout=1\n");
  const pid_t checker = start({"--validator", slow, "samples/ascii-valid.html"}, folder_ + "out");
  const int status = waitFor(checker, 20000);
  ASSERT_NE(status, -1);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(readFile(folder_ + "out"), "-------- samples/ascii-valid.html\nE: nsgmlsが時間切れ: " +
                                           slow + ": 1 秒\n検査終了\n");
}

// Waits up to `milliseconds` for the started checker to end, as waitFor
// does; the peak resident memory, in KiB, of the checker and of the
// processes it waited for (its validators), or -1 when it ran on.
long peakKilobytes(pid_t pid, int milliseconds, int& status) {
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd < 0) return -1;
  pollfd entry{static_cast<int>(fd), POLLIN, 0};
  const int ready = ::poll(&entry, 1, milliseconds);
  ::close(static_cast<int>(fd));
  if (ready != 1) ::kill(-pid, SIGKILL);
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  return ready == 1 ? usage.ru_maxrss : -1;
}

// How often `text` occurs in the file at `path`, read in small pieces: a
// child started by posix_spawn shares this process's memory until it
// starts the checker, and its peak counts that.
std::size_t occurrences(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  std::size_t count = 0;
  std::string window;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    window.append(buffer, got);
    for (std::size_t at = window.find(text); at != std::string::npos;
         at = window.find(text, at + 1)) {
      ++count;
    }
    // Keep what may begin an occurrence cut by the next piece.
    window.erase(0, window.size() - std::min(window.size(), text.size() - 1));
  }
  std::fclose(file);
  return count;
}

TEST_F(IsolatedRunsTest, HundredsOfThousandsOfMessagesPassThroughInLittleMemory) {
  // Every message is held nowhere: the checker's memory stays far below
  // what 300,000 messages take (about 100 bytes each as text alone).
  constexpr int kMessages = 300000;
  const std::string flood = scriptValidator(
      "flood", "seq " + std::to_string(kMessages) +
                   " | sed 's/.*/v:x:&:1:E: element \"BLINK\" undefined/' > \"$err\"");
  const struct {
    const char* format;
    const char* counted;  // what each message gives once
  } cases[] = {{"text", ":1:E: element"}, {"gnu", ": error: element"}, {"json", "{\"line\":"}};
  for (const auto& c : cases) {
    const pid_t pid = start({"--validator", flood, "--format", c.format, "--max-errors", "0",
                             "samples/ascii-valid.html"},
                            folder_ + "out");
    ASSERT_GT(pid, 0);
    int status = 0;
    const long peak = peakKilobytes(pid, 60000, status);
    ASSERT_GT(peak, 0) << c.format << ": still running";
#ifndef __SANITIZE_ADDRESS__
    // Under AddressSanitizer freed memory waits in its quarantine (256 MB by
    // default), so a peak says nothing there; the plain build holds the bound.
    EXPECT_LT(peak, 40 * 1024) << c.format;
#endif
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.format << " " << status;
    EXPECT_EQ(occurrences(folder_ + "out", c.counted), static_cast<std::size_t>(kMessages))
        << c.format;
    EXPECT_EQ(runFolders(), "") << c.format;
  }
}

TEST_F(IsolatedRunsTest, OutputThatCannotBeWrittenIsNoResult) {
  const std::string validator = fakeValidator("v", "v:x:1:1:E: bad");
  for (const char* format : {"text", "gnu", "json"}) {
    const std::string command = "cd '" + folder_ + "' && XDG_RUNTIME_DIR='" + folder_ + "temp' '" +
                                kChecker + "' --validator '" + validator + "' --format " + format +
                                " samples/ascii-valid.html > /dev/full 2> err";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << format << " " << status;
    EXPECT_EQ(readFile(folder_ + "err"),
              "検査終了: 1件, エラーあり 1件, 1行\ntessavo-check: E: 出力を書けない: 標準出力\n")
        << format;
    EXPECT_EQ(runFolders(), "") << format;
  }
}

}  // namespace
