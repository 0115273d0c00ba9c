// The Win32 file services on the system's real code page: folders and
// files whose CP932 names hold a trail byte 0x5C (表 95 5C, ソ 83 5C,
// 能 94 5C), made through the ANSI calls and read back through every
// service the check run uses.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <string>
#include <vector>

#include "files/file_name.h"
#include "files/folder_scan.h"
#include "platform/code_page.h"
#include "platform/directory_listing.h"
#include "platform/executable_path.h"
#include "platform/file_handle.h"
#include "platform/file_system.h"
#include "platform/profile_reader.h"
#include "platform/run_folder.h"
#include "platform/settings_location.h"
#include "platform/temp_files.h"
#include "tests/files/recording_sink.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kHyou = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";    // ソ
const std::string kNou = "\x94\x5C";   // 能

void makeFolder(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << ": " << GetLastError();
}

void makeFile(const std::string& path, const std::string& bytes) {
  platform::FileHandle file;
  ASSERT_TRUE(file.createNew(path)) << path << ": " << platform::errorText(file.error());
  ASSERT_TRUE(file.writeAll(bytes.data(), bytes.size()));
  ASSERT_TRUE(file.close());
}

std::string readAll(const std::string& path) {
  platform::FileHandle file;
  if (!file.openRegularForReading(path)) return "(error " + std::to_string(file.error()) + ")";
  std::string bytes;
  char buffer[256];
  for (long got; (got = file.read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  return bytes;
}

// The name as the system holds it, in UTF-16.
std::wstring wideNameOf(const std::string& path) {
  WIN32_FIND_DATAW found{};
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size())) -
      1);
  const HANDLE search = FindFirstFileW(wide.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return L"";
  FindClose(search);
  return found.cFileName;
}

class Win32Files : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = temp_.path();
    makeFolder(root_ + kHyou);
    makeFolder(root_ + kHyou + "\\" + kNou);
    makeFile(root_ + kHyou + "\\" + kSo + ".htm", "<p>\x83\x5C</p>\n");
    makeFile(root_ + kHyou + "\\" + kNou + "\\" + kNou + ".HTML", "<p>\x94\x5C</p>\n");
    makeFile(root_ + kHyou + "\\" + kSo + ".txt", "not a document\n");
  }

  test_support::TempFolder temp_{"win32_files"};
  std::string root_;
};

TEST(Win32CodePage, IsTheSystemsAnsiCodePage) {
  ASSERT_EQ(GetACP(), 932u) << "run under the Japanese locale (LANG=ja_JP.UTF-8)";
  EXPECT_EQ(platform::currentCodePage(), platform::CodePage::Cp932);
  const std::string names = kHyou + kSo + "\xB1" + kNou;  // ｱ stands alone
  std::string lengths;
  for (const char* p = names.c_str(); *p != '\0';) {
    const char* next = platform::CharNextA(p);
    lengths += std::to_string(next - p);
    p = next;
  }
  EXPECT_EQ(lengths, "2212");
}

TEST_F(Win32Files, NamesAreTheSystemsCp932Characters) {
  EXPECT_EQ(wideNameOf(root_ + kHyou), L"\u8868");
  EXPECT_EQ(wideNameOf(root_ + kHyou + "\\" + kSo + ".htm"), L"\u30BD.htm");
  EXPECT_EQ(wideNameOf(root_ + kHyou + "\\" + kNou), L"\u80FD");
}

TEST_F(Win32Files, ListingSplittingAndScanningKeepTrailBytes) {
  const std::string folder = root_ + kHyou;
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::listDirectory(folder, &entries));
  std::vector<std::string> listed;
  for (const auto& entry : entries) listed.push_back(entry.name + (entry.isFolder ? "/" : ""));
  EXPECT_EQ(listed,
            (std::vector<std::string>{"./", "../", kSo + ".htm", kSo + ".txt", kNou + "/"}));

  const FileName name(folder + "\\" + kNou + "\\" + kNou + ".HTML");
  EXPECT_EQ(name.name(), kNou + ".HTML");
  EXPECT_EQ(name.extension(true), "html");
  EXPECT_EQ(name.directory().substr(name.directory().size() - 6), kHyou + "/" + kNou + "/");

  // A trail byte at the end of a folder's name is no separator: the scan
  // adds one separator and finds every document below.
  RecordingSink sink;
  AddFolder(folder + "/", sink);
  const std::string found = folder + "/";
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"file:" + found + kSo + ".htm",
                                                  "file:" + found + kNou + "/" + kNou + ".HTML"}));
  EXPECT_EQ(readAll(found + kNou + "/" + kNou + ".HTML"), "<p>\x94\x5C</p>\n");
  EXPECT_TRUE(isDirectory(folder.c_str()));
  EXPECT_TRUE(platform::isExistingDirectory(folder + "\\" + kNou + "\\"));
  EXPECT_FALSE(platform::isExistingDirectory(folder + "\\" + kSo + ".htm"));
}

TEST_F(Win32Files, OpeningRefusesWhatIsNoDocumentAndCreatingRefusesWhatExists) {
  const std::string document = root_ + kHyou + "\\" + kSo + ".htm";
  EXPECT_EQ(readAll(document), "<p>\x83\x5C</p>\n");
  const struct {
    std::string path;
    int error;
  } refusals[] = {
      {root_ + kHyou, EISDIR},
      {"NUL", EINVAL},
      {root_ + kHyou + "\\missing.htm", ENOENT},
  };
  for (const auto& refusal : refusals) {
    platform::FileHandle file;
    EXPECT_FALSE(file.openRegularForReading(refusal.path)) << refusal.path;
    EXPECT_EQ(file.error(), refusal.error) << refusal.path;
  }
  platform::FileHandle again;
  EXPECT_FALSE(again.createNew(document));
  EXPECT_EQ(again.error(), EEXIST);
  EXPECT_EQ(readAll(document), "<p>\x83\x5C</p>\n");
  EXPECT_EQ(platform::absolutePath("C:\\x"), "C:\\x");
  // A trail byte 0x5C ends no folder name as a separator would.
  EXPECT_EQ(platform::withFolderSeparator("C:\\" + kHyou), "C:\\" + kHyou + "/");
  EXPECT_EQ(platform::withFolderSeparator("C:\\" + kHyou + "\\"), "C:\\" + kHyou + "\\");
  EXPECT_EQ(platform::withFolderSeparator("C:/docs/"), "C:/docs/");
  EXPECT_EQ(platform::absolutePath("a" + kHyou).substr(1, 2), ":\\");
}

TEST_F(Win32Files, RunFoldersArePrivateLockedAndSwept) {
  const std::string parent = root_ + kHyou + "\\";
  platform::RunFolder run;
  ASSERT_TRUE(run.create(parent)) << run.error();
  EXPECT_EQ(
      run.path().rfind(parent + "tessavo-run-" + std::to_string(GetCurrentProcessId()) + "-", 0),
      0u)
      << run.path();
  platform::RunFolder worker;
  ASSERT_TRUE(worker.createWithin(run, "1"));
  makeFile(worker.path() + kSo, "x");
  // A leftover of a run whose process is gone goes; the live run stays.
  const std::string leftover = parent + "tessavo-run-4000000-abcdef";
  makeFolder(leftover);
  makeFile(leftover + "\\$error.out", "x");
  platform::RunFolder::sweepLeftovers(parent);
  EXPECT_FALSE(platform::isExistingDirectory(leftover));
  EXPECT_TRUE(platform::isExistingDirectory(worker.path()));
  const std::string path = run.path();
  run.remove();
  EXPECT_FALSE(platform::isExistingDirectory(path));
  EXPECT_TRUE(platform::isExistingDirectory(parent + kNou));
}

TEST_F(Win32Files, TheDataFolderIsBesideTheProgramOrItsInstalledShare) {
  for (const char* folder : {"usr", "usr\\bin", "usr\\share", "usr\\share\\tessavo"}) {
    makeFolder(root_ + folder);
  }
  EXPECT_EQ(platform::dataFolderFor(root_ + "usr\\bin\\tessavo-check.exe"),
            root_ + "usr\\share\\tessavo\\");
  EXPECT_EQ(platform::dataFolderFor(root_ + kHyou + "\\tessavo-check.exe"), root_ + kHyou + "\\");
  const std::string self = platform::executablePath();
  EXPECT_EQ(self.substr(self.size() - 21), "\\win32_files_test.exe") << self;
  EXPECT_EQ(platform::programDataFolder(), self.substr(0, self.size() - 20));
  EXPECT_FALSE(platform::isInstalledProgram());
}

TEST(Win32TempFiles, ThePrivateFolderAndUniqueFiles) {
  const std::string folder = platform::tempFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '\\');
  EXPECT_TRUE(platform::isExistingDirectory(folder));
  const std::string a = platform::createUniqueFile(folder, "tvx");
  const std::string b = platform::createUniqueFile(folder, "tvx");
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(folder + "tvx", 0), 0u) << a;
  EXPECT_EQ(readAll(a), "");
  DeleteFileA(a.c_str());
  DeleteFileA(b.c_str());
  EXPECT_EQ(platform::createUniqueFile(folder + "missing\\", "tvx"), "");
}

TEST(Win32Settings, AreReadFromTheRegistryKeyOfTheWindow) {
  EXPECT_EQ(platform::settingsFilePath(), "HKEY_CURRENT_USER\\Software\\Marrowby\\Tessavo");
  // A key of the test's own, so that a user's settings are never touched.
  const std::string key =
      "HKEY_CURRENT_USER\\Software\\Marrowby\\TessavoTest" + std::to_string(GetCurrentProcessId());
  const std::string subkey = key.substr(sizeof "HKEY_CURRENT_USER\\" - 1) + "\\Settings";
  HKEY settings = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &settings, nullptr),
            ERROR_SUCCESS);
  const std::string location = "C:\\SP\\" + kHyou + "\\nsgmls.exe";
  RegSetValueExA(settings, "SP Location", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(location.c_str()),
                 static_cast<DWORD>(location.size() + 1));
  const DWORD timeout = 45;
  RegSetValueExA(settings, "ValidatorTimeout", 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&timeout), sizeof timeout);
  RegCloseKey(settings);

  const auto read = [&key](const char* name) {
    return platform::readProfileString(key, "Settings", name, "default",
                                       platform::ProfileDialect::WxFileConfig);
  };
  EXPECT_EQ(read("SP Location"), location);
  EXPECT_EQ(read("ValidatorTimeout"), "45");
  EXPECT_EQ(read("MaxErrors"), "default");
  EXPECT_EQ(platform::readProfileString(key, "Recent File List", "File1", "none"), "none");
  RegDeleteTreeA(HKEY_CURRENT_USER, key.substr(sizeof "HKEY_CURRENT_USER\\" - 1).c_str());
}

}  // namespace
