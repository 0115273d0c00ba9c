#include "files/folder_scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "recording_sink.h"

namespace {

using Calls = std::vector<std::string>;

TEST(AddFolder, TakesHtmlFilesAndShortcutsDepthFirst) {
  const std::string root = ::testing::TempDir() + "folder_scan_" + std::to_string(::getpid()) + "/";
  ASSERT_EQ(std::system(("rm -rf '" + root + "' && mkdir -p '" + root + "b-sub/deeper' '" + root +
                         "empty' '" + root + "x.htm'")
                            .c_str()),
            0);
  for (const char* name : {"a.HTM", "b.html", "c.shtml", "d.url", "e.txt", "f", "g.htm.bak",
                           "b-sub/f.htm", "b-sub/deeper/h.Html", "b-sub/z.shtml", "x.htm/in.htm"}) {
    std::ofstream(root + name) << "x";
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
  std::system(("rm -rf '" + root + "'").c_str());
}

}  // namespace
