#include "platform/profile_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::ProfileDialect;
using platform::readProfileString;

using test_support::writeFile;

TEST(ProfileReader, ReadsShortcutFilesLikeWindows) {
  const test_support::TempFolder folder("profile_reader");
  const std::string path = writeFile(folder / "shortcut.url",
                                     "\xEF\xBB\xBF"
                                     "URL=outside a section\r\n"
                                     "[DEFAULT]\r\nBASEURL=http://base/\r\n"
                                     "; comment\r\n"
                                     "[ InternetShortcut ]\r\n"
                                     "  url  =  http://server/a b.html  \r\n"
                                     "URL=http://second/\r\n"
                                     "Quoted=\"  spaced  \"\r\n"
                                     "Single='x'\r\n"
                                     "Half=\"x\r\n"
                                     "Empty=\r\n");
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"InternetShortcut", "URL", "http://server/a b.html"},  // first match, trimmed
      {"internetshortcut", "Url", "http://server/a b.html"},  // names ignore case
      {"DEFAULT", "BASEURL", "http://base/"},
      {"InternetShortcut", "Quoted", "  spaced  "},
      {"InternetShortcut", "Single", "x"},
      {"InternetShortcut", "Half", "\"x"},
      {"InternetShortcut", "Empty", ""},
      {"InternetShortcut", "Missing", "?"},
      {"Other", "URL", "?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readProfileString(path, c.section, c.key, "?"), c.value) << c.section << c.key;
  }
  EXPECT_EQ(readProfileString(path + ".missing", "InternetShortcut", "URL", "?"), "?");
}

TEST(ProfileReader, UndoesWxFileConfigEscapes) {
  // As wxFileConfig writes names with blanks and values with backslashes,
  // quotes and leading or trailing blanks.
  const test_support::TempFolder folder("profile_reader");
  const std::string path = writeFile(folder / "wx.conf",
                                     "Top=1\n"
                                     "[Settings]\n"
                                     "SP\\ Location=C:\\\\SP\\\\bin\\\\nsgmls.exe\n"
                                     "Editor=\"  notepad.exe %f  \"\n"
                                     "Quote=say \\\"hi\\\"\\tend\n"
                                     "Eq\\=Name=v\n"
                                     "[Recent File List]\n"
                                     "file1=/a.tvx\n");
  const struct {
    const char* key;
    const char* value;
  } cases[] = {
      {"SP Location", "C:\\SP\\bin\\nsgmls.exe"},
      {"Editor", "  notepad.exe %f  "},
      {"Quote", "say \"hi\"\tend"},
      {"Eq=Name", "v"},
      {"file1", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readProfileString(path, "Settings", c.key, "", ProfileDialect::WxFileConfig), c.value)
        << c.key;
  }
}

// A FIFO or device in the place of a shortcut or settings file counts as
// unreadable at once, and a huge file is read only so far.
TEST(ProfileReader, ReadsOnlyRegularFilesAndOnlySoFar) {
  const test_support::TempFolder folder("profile_reader");
  const std::string fifo = folder / "fifo.url";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string big =
      writeFile(folder / "big.url", "[InternetShortcut]\nURL=http://early/\n" +
                                        std::string(platform::kProfileFileLimit, ';') +
                                        "\n[Late]\nURL=http://late/\n");
  const struct {
    std::string path;
    const char* section;
    const char* value;
  } cases[] = {
      {fifo, "InternetShortcut", "?"},
      {"/dev/zero", "InternetShortcut", "?"},
      {folder.path(), "InternetShortcut", "?"},
      {big, "InternetShortcut", "http://early/"},
      {big, "Late", "?"},
  };
  for (const auto& c : cases) {
    auto reading = std::async(std::launch::async,
                              [&] { return readProfileString(c.path, c.section, "URL", "?"); });
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(5)), std::future_status::ready) << c.path;
    EXPECT_EQ(reading.get(), c.value) << c.path << " " << c.section;
  }
}

}  // namespace
