#include "viewers/process_starter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process.h"
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
    EXPECT_TRUE(opener.open(location));
    ASSERT_EQ(starter.started.size(), 1u);
    EXPECT_EQ(platform::splitCommandLine(starter.started[0]),
              (std::vector<std::string>{"xdg-open", location}))
        << starter.started[0];
  }
}

}  // namespace
