#include "platform/profile_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
