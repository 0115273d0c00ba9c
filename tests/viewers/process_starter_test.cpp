#include "viewers/process_starter.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_handle.h"
#include "platform/process.h"
#include "tests/support/bounded_wait.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"
#include "tests/viewers/recording_starters.h"

namespace {

TEST(DesktopShellOpener, HandsTheLocationOverAsOneArgument) {
  const std::string locations[] = {
      "http://host/a.html",
      "/home/u/my docs/a b.html",
      "",
      "C:\\web\\a.html",
      "C:\\my web\\",           // trailing backslash before the closing quote
      "/w/say \"hi\".html",     // quotes inside
      "/w/back\\\"slash.html",  // a backslash right before a quote
      "/w/\x95\x5C .html",      // a CP932 character whose second byte is a backslash
      "/w/\xE6\x97\xA5\xE6\x9C\xAC.html",
  };
  for (const std::string& location : locations) {
    RecordingProcessStarter starter;
    DesktopShellOpener opener(starter);
    opener.open(location, nullptr);
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(platform::splitCommandLine(starter.started[0]),
              (std::vector<std::string>{"xdg-open", location}))
        << starter.started[0];
  }
}

TEST(StartFailureReason, NamesTheProgramAndWhatWentWrong) {
  using End = platform::ChildOutcome::End;
  const struct {
    std::string program;
    platform::ChildOutcome outcome;
    std::string reason;
  } cases[] = {
      {"gedit", {End::NotStarted, 0, ENOENT}, "gedit: " + platform::errorText(ENOENT)},
      {"xdg-open", {End::Exited, 3, 0}, "xdg-open: 終了コード 3 (開くためのプログラムが見つかりません)"},
      {"/usr/bin/xdg-open", {End::Exited, 4, 0}, "/usr/bin/xdg-open: 終了コード 4 (開けませんでした)"},
      {"kate", {End::Exited, 3, 0}, "kate: 終了コード 3"},
      {"geany", {End::Signalled, SIGSEGV, 0},
       "geany: シグナル " + platform::signalName(SIGSEGV) + " で終了"},
  };
  for (const auto& c : cases) EXPECT_EQ(startFailureReason(c.program, c.outcome), c.reason);
}

// The handler is a shell script: not on Windows, where win32_processes_test
// watches the starts.
#ifndef _WIN32
TEST(SystemProcessStarter, TellsAFailureSoonAfterTheStartFromAThreadOfItsOwn) {
  test_support::TempFolder folder("process_starter_test");
  const std::string handler = folder.path() + "xdg-open";
  test_support::writeFile(handler, "#!/bin/sh\necho 'no method available' >&2\nexit 3\n");
  ::chmod(handler.c_str(), 0755);
  const std::string missing = folder.path() + "no-editor";

  std::mutex mutex;
  std::condition_variable told;
  std::vector<std::string> reasons;
  for (const std::string& commandLine : {handler + " /a.htm", missing + " /a.htm"}) {
    systemProcessStarter().start(commandLine, [&](const std::string& reason) {
      std::lock_guard<std::mutex> lock(mutex);
      reasons.push_back(reason);
      told.notify_all();
    });
  }
  std::unique_lock<std::mutex> lock(mutex);
  ASSERT_TRUE(test_support::waitFor(
      told, lock, [&] { return reasons.size() == 2; }, "both failures to be told"));
  std::sort(reasons.begin(), reasons.end());
  EXPECT_EQ(reasons, (std::vector<std::string>{missing + ": " + platform::errorText(ENOENT),
                                               handler + ": 終了コード 3 (開くためのプログラムが見つかりません)"}));
}

#endif

}  // namespace
