#include "platform/directory_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

TEST(DirectoryListing, ListsSortedWithTheFolderBit) {
  const std::string folder =
      ::testing::TempDir() + "directory_listing_" + std::to_string(::getpid()) + "/";
  ASSERT_EQ(
      std::system(
          ("rm -rf '" + folder + "' && mkdir -p '" + folder + "Sub' '" + folder + "a'").c_str()),
      0);
  for (const char* name : {"b.htm", "B.htm", "c.html", "A.txt"}) std::ofstream(folder + name);
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
  std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
