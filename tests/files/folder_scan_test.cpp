#include "files/folder_scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "recording_sink.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using Calls = std::vector<std::string>;

TEST(AddFolder, TakesHtmlFilesAndShortcutsDepthFirst) {
  const test_support::TempFolder temp("folder_scan");
  const std::string& root = temp.path();
  temp.makeFolder("empty");
  for (const char* name : {"a.HTM", "b.html", "c.shtml", "d.url", "e.txt", "f", "g.htm.bak",
                           "b-sub/f.htm", "b-sub/deeper/h.Html", "b-sub/z.shtml", "x.htm/in.htm"}) {
    test_support::writeFile(root + name, "x");
  }
  // A link to a folder is not followed; a link to a file counts as a file.
  ASSERT_EQ(::symlink(root.c_str(), (root + "loop").c_str()), 0);
  ASSERT_EQ(::symlink((root + "b.html").c_str(), (root + "link.htm").c_str()), 0);

  RecordingSink sink;
  AddFolder(root, sink);
  EXPECT_EQ(sink.calls, (Calls{
                            "file:" + root + "a.HTM", "file:" + root + "b-sub/deeper/h.Html",
                            "file:" + root + "b-sub/f.htm", "file:" + root + "b-sub/z.shtml",
                            "file:" + root + "b.html", "file:" + root + "c.shtml",
                            "file:" + root + "d.url", "file:" + root + "link.htm",
                            "file:" + root + "x.htm/in.htm",  // a folder named .htm is a folder
                        }));

  RecordingSink none;
  AddFolder(root + "missing/", none);
  AddFolder(root + "empty/", none);
  EXPECT_TRUE(none.calls.empty());
}

}  // namespace
