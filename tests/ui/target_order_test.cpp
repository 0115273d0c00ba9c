// The window's file pane and the headless checker list a working set in the
// same order, whatever the locale the window runs in.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/ui/startup_fixture.h"
#include "ui/file_list_view.h"
#include "ui/main_frame.h"
#include "viewers/process_starter.h"

using namespace startup_test;

namespace {

// The header lines' locations that tessavo-check prints for `paths`.
std::vector<std::string> checkerOrder(const std::vector<std::string>& paths) {
  std::string command = "\"" TESSAVO_BINARY_DIR
                        "/bin/tessavo-check\" --validator /bin/true "
                        "--html5-checker=";
  for (const std::string& path : paths) command += " '" + path + "'";
  std::vector<std::string> order;
  std::FILE* out = ::popen(command.c_str(), "r");
  if (out == nullptr) return order;
  char line[4096];
  while (std::fgets(line, sizeof line, out) != nullptr) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.rfind("-------- ", 0) == 0) order.push_back(text.substr(9));
  }
  ::pclose(out);
  return order;
}

TEST(TargetOrder, FilePaneListsAsTessavoCheckDoes) {
  const std::string folder = scratch() + "work/order/";
  // Letters that a locale's case mapping treats otherwise than ASCII does
  // (É/é, the dotless ı), and punctuation between the letter ranges.
  const std::vector<std::string> paths = {
      folder + "\xC3\xA9.htm", folder + "b.htm",   folder + "\xC3\x89.htm", folder + "A.htm",
      folder + "_x.htm",       folder + "[y].htm", folder + "I.htm",        folder + "\xC4\xB1.htm",
      folder + "a.htm",        folder + "Z.htm"};
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  CMainFrame* frame = openWindow(paths);
  std::setlocale(LC_ALL, previous.c_str());
  ASSERT_NE(frame, nullptr);

  const std::vector<std::string> checked = checkerOrder(paths);
  ASSERT_EQ(checked.size(), paths.size());
  EXPECT_EQ(fileLines(frame), checked);
}

}  // namespace
