#include "platform/desktop_registration.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

#include "platform/process.h"
#include "platform/socket_library.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using test_support::readFile;
using test_support::writeFile;

// Points XDG_DATA_HOME at a folder of the test for the object's lifetime.
class DataHome {
 public:
  DataHome() : path_(folder_ / "data_home") {
    const char* old = std::getenv("XDG_DATA_HOME");
    if (old != nullptr) old_ = old;
    hadOld_ = old != nullptr;
    ::setenv("XDG_DATA_HOME", (path_ + "/").c_str(), 1);
  }
  ~DataHome() {
    if (hadOld_) {
      ::setenv("XDG_DATA_HOME", old_.c_str(), 1);
    } else {
      ::unsetenv("XDG_DATA_HOME");
    }
  }
  const std::string& path() const { return path_; }

 private:
  test_support::TempFolder folder_{"desktop_registration"};
  std::string path_;
  std::string old_;
  bool hadOld_ = false;
};

TEST(DesktopRegistration, WritesOnlyWhatDiffers) {
  DataHome home;
  EXPECT_EQ(platform::desktopDataFolder(), home.path());
  const std::string entry = home.path() + "/applications/tessavo.desktop";
  const std::string package = home.path() + "/mime/packages/tessavo.xml";

  EXPECT_EQ(platform::registerDocumentType("/opt/tessavo/bin/tessavo"), 2);
  EXPECT_EQ(readFile(entry), platform::desktopEntryText("/opt/tessavo/bin/tessavo"));
  EXPECT_EQ(readFile(package), platform::mimePackageText());
  if (!platform::findProgram("update-mime-database").empty()) {
    // The desktop's MIME cache now knows the glob.
    EXPECT_NE(readFile(home.path() + "/mime/globs2").find("*.tvx"), std::string::npos);
  }

  struct stat before = {};
  ASSERT_EQ(::stat(entry.c_str(), &before), 0);
  EXPECT_EQ(platform::registerDocumentType("/opt/tessavo/bin/tessavo"), 0);
  struct stat after = {};
  ASSERT_EQ(::stat(entry.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino) << "an unchanged file is not rewritten";

  // The program moved: only the entry changes.
  EXPECT_EQ(platform::registerDocumentType("/usr/bin/tessavo"), 1);
  EXPECT_NE(readFile(entry).find("Exec=\"/usr/bin/tessavo\" %f\n"), std::string::npos);

  // The entry names the theme's icon, which the registration puts in place.
  EXPECT_NE(readFile(entry).find("\nIcon=tessavo\n"), std::string::npos);
  const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n";
  EXPECT_EQ(platform::registerDocumentType("/usr/bin/tessavo", svg), 1);
  EXPECT_EQ(readFile(home.path() + "/icons/hicolor/scalable/apps/tessavo.svg"), svg);
  EXPECT_EQ(platform::registerDocumentType("/usr/bin/tessavo", svg), 0);
}

// A FIFO where the entry belongs is replaced, never waited on.
TEST(DesktopRegistration, ReplacesAFifoWithoutWaiting) {
  DataHome home;
  const std::string entry = home.path() + "/applications/tessavo.desktop";
  ASSERT_EQ(::mkdir(home.path().c_str(), 0700), 0);
  ASSERT_EQ(::mkdir((home.path() + "/applications").c_str(), 0700), 0);
  ASSERT_EQ(::mkfifo(entry.c_str(), 0600), 0);
  auto registering = std::async(std::launch::async,
                                [] { return platform::registerDocumentType("/usr/bin/tessavo"); });
  ASSERT_EQ(registering.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(registering.get(), 2);
  EXPECT_EQ(readFile(entry), platform::desktopEntryText("/usr/bin/tessavo"));
}

TEST(DesktopRegistration, FailsWhereNothingCanBeWritten) {
  DataHome home;
  writeFile(home.path(), "a file where the folder should be");
  EXPECT_EQ(platform::registerDocumentType("/usr/bin/tessavo"), -1);
  ::unlink(home.path().c_str());
}

TEST(DesktopRegistration, ExecLineQuotesThePath) {
  const struct {
    const char* executable;
    const char* exec;
  } cases[] = {
      {"/usr/bin/tessavo", "Exec=\"/usr/bin/tessavo\" %f"},
      {"/home/u/my apps/tessavo", "Exec=\"/home/u/my apps/tessavo\" %f"},
      // In quotes, ", `, $ and \ take a backslash; the key file doubles
      // each backslash once more. A percent sign is doubled.
      {"/a\"b/t", "Exec=\"/a\\\\\"b/t\" %f"},
      {"/a$b`c/t", "Exec=\"/a\\\\$b\\\\`c/t\" %f"},
      {"/a\\b/t", "Exec=\"/a\\\\\\\\b/t\" %f"},
      {"/100%/t", "Exec=\"/100%%/t\" %f"},
      {"/検査/tessavo", "Exec=\"/検査/tessavo\" %f"},
  };
  for (const auto& c : cases) {
    const std::string text = platform::desktopEntryText(c.executable);
    EXPECT_NE(text.find(std::string("\n") + c.exec + "\n"), std::string::npos)
        << c.executable << "\n"
        << text;
    EXPECT_NE(text.find("\nMimeType=application/x-tessavo-document;\n"), std::string::npos);
  }
  EXPECT_NE(platform::mimePackageText().find("<glob pattern=\"*.tvx\"/>"), std::string::npos);
}

TEST(SocketLibrary, StartsOnceAndIgnoresBrokenPipes) {
  EXPECT_TRUE(platform::startSocketLibrary());
  EXPECT_TRUE(platform::startSocketLibrary());
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[0]);
  // Without the start this write would end the test program.
  EXPECT_EQ(::write(ends[1], "x", 1), -1);
  ::close(ends[1]);
}

TEST(DesktopRegistration, InstalledFilesAreThePerUserOnes) {
  // What an installed program gets from its package is what a build-tree
  // program registers for itself, except that the package's entry names the
  // program bare, to be found on PATH.
  std::string entry = platform::desktopEntryText("tessavo");
  const std::string quoted = "Exec=\"tessavo\" %f\n";
  ASSERT_NE(entry.find(quoted), std::string::npos);
  entry.replace(entry.find(quoted), quoted.size(), "Exec=tessavo %f\n");
  EXPECT_EQ(readFile(TESSAVO_SOURCE_DIR "/data/tessavo.desktop"), entry);
  EXPECT_EQ(readFile(TESSAVO_SOURCE_DIR "/data/tessavo.xml"), platform::mimePackageText());
}

}  // namespace
