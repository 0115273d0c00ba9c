#include "platform/directory_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(DirectoryListing, ListsSortedWithTheFolderBit) {
  const test_support::TempFolder temp("directory_listing");
  const std::string& folder = temp.path();
  temp.makeFolder("Sub");
  temp.makeFolder("a");
  for (const char* name : {"b.htm", "B.htm", "c.html", "A.txt"}) {
    test_support::writeFile(folder + name, "");
  }
  ASSERT_EQ(::symlink((folder + "Sub").c_str(), (folder + "link").c_str()), 0);

  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::listDirectory(folder, &entries));
  std::string listed;
  for (const auto& entry : entries) listed += entry.name + (entry.isFolder ? "/ " : " ");
  // Letters compare without case first; a link to a folder is no folder.
  EXPECT_EQ(listed, "./ ../ a/ A.txt B.htm b.htm c.html link Sub/ ");

  // Without the trailing slash the folder bits are the same.
  ASSERT_TRUE(platform::listDirectory(folder.substr(0, folder.size() - 1), &entries));
  EXPECT_TRUE(entries[2].isFolder);

  EXPECT_FALSE(platform::listDirectory(folder + "missing/", &entries));
  EXPECT_TRUE(entries.empty());
}

}  // namespace
