#include "platform/executable_path.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(DataFolder, IsShareTessavoWhenInstalledElseBesideTheProgram) {
  const test_support::TempFolder temp("data_folder");
  const std::string root = temp.path();
  temp.makeFolder("usr/bin");
  temp.makeFolder("usr/share/tessavo");
  temp.makeFolder("build/bin");
  temp.makeFolder("build/share");  // a share/ without tessavo/ is no install
  temp.makeFolder("odd/bin");
  test_support::writeFile(root + "odd/share/tessavo", "a file, not a folder");

  const struct {
    std::string executable;
    std::string dataFolder;
  } cases[] = {
      {root + "usr/bin/tessavo", root + "usr/share/tessavo/"},
      {root + "usr/bin/tessavo-check", root + "usr/share/tessavo/"},
      {root + "build/bin/tessavo", root + "build/bin/"},
      {root + "odd/bin/tessavo", root + "odd/bin/"},
      {"/tessavo", "/"},
      {"tessavo", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::dataFolderFor(c.executable), c.dataFolder) << c.executable;
  }
}

TEST(DataFolder, OfATestProgramIsItsBuildFolder) {
  // Tests run from the build tree, where the catalog lies beside them.
  const std::string executable = platform::executablePath();
  EXPECT_EQ(platform::programDataFolder(), executable.substr(0, executable.rfind('/') + 1));
  EXPECT_FALSE(platform::isInstalledProgram());
}

}  // namespace
