#include "files/working_set_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "recording_sink.h"
#include "tests/support/file_contents.h"
#include "tests/support/temp_folder.h"

namespace {

using Calls = std::vector<std::string>;

using test_support::readFile;

// A path in this program's folder of working-set files, removed at its end.
std::string tempPath(const std::string& name) {
  static const test_support::TempFolder folder("working_set");
  return folder / (name + ".tvx");
}

// A working-set file holding `text`; its path.
std::string fileWith(const std::string& text) {
  return test_support::writeFile(tempPath("working_set"), text);
}

TEST(ReadWorkingSet, SignatureTest) {
  const struct {
    std::string firstLine;
    bool accepted;
  } cases[] = {
      {"tvx1\r\n", true},
      {"tvx1\n", true},
      {"tvx1 comment\n", true},
      {"tvx1\tx\n", true},
      {std::string("tvx1\x01\n"), true},
      {"tvx1\xE3\x81\x82\n", true},  // a byte of 0x80 and above passes
      {"tvx10\n", false},
      {"tvx1!\n", false},
      {"tvx1\x7F\n", false},
      {"TVX1\n", false},
      {" tvx1\n", false},
      {"tvx\n", false},
      {"", false},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    EXPECT_EQ(readWorkingSet(fileWith(c.firstLine + "file\ta.htm\n"), sink), c.accepted)
        << c.firstLine;
    EXPECT_EQ(sink.calls.size(), c.accepted ? 1u : 0u) << c.firstLine;
  }
  RecordingSink sink;
  EXPECT_TRUE(readWorkingSet(fileWith("tvx1"), sink));  // the signature alone, no line end
  EXPECT_FALSE(readWorkingSet(tempPath("missing"), sink));
  EXPECT_TRUE(sink.calls.empty());
}

// A FIFO or device in the place of a working set is refused at once, never
// waited on or read without end.
TEST(ReadWorkingSet, OnlyRegularFiles) {
  const std::string fifo = tempPath("fifo");
  const std::string folder = tempPath("folder");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero"), folder}) {
    auto reading = std::async(std::launch::async, [&] {
      RecordingSink sink;
      return readWorkingSet(path, sink);
    });
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(5)), std::future_status::ready) << path;
    EXPECT_FALSE(reading.get()) << path;
  }
  ::unlink(fifo.c_str());
  ::rmdir(folder.c_str());
}

TEST(ReadWorkingSet, LineRules) {
  const std::string path = fileWith(
      "tvx1\r\n"
      "file\tC:\\docs\\a.htm\r\n"
      "http\thttp://server/b.html\r\n"
      "https\thttps://server/s.html\r\n"
      "HTTPS\thttps://server/capital-kind.html\r\n"
      "httpsx\thttps://server/other-kind.html\r\n"
      "  \t file\tindented.htm\n"
      "# file\tcommented.htm\n"
      "\n"
      "   \r\n"
      "File\tcapital.htm\n"
      "file path-after-blank.htm\n"
      "ftp\tftp://h/x\n"
      "\tnokind.htm\n"
      "file\t trailing and\ttabs  \n"
      "file\t\n"
      "http\tserver/x\n"
      "file\tcr\rrest\n"
      "file\tno line end");
  RecordingSink sink;
  ASSERT_TRUE(readWorkingSet(path, sink));
  EXPECT_EQ(sink.calls, (Calls{
                            "file:C:\\docs\\a.htm",
                            "uri:http://server/b.html",
                            "uri:https://server/s.html",
                            "file:indented.htm",
                            "file: trailing and\ttabs  ",
                            "file:",
                            "uri:server/x",
                            "file:cr",
                            "file:no line end",
                        }));
}

TEST(ReadWorkingSet, LongLinesArriveInPiecesOf1999Bytes) {
  // The second piece of a long line is a line of its own: here it again
  // reads as a target line.
  const std::string tail = "http\ttail";
  const std::string path =
      fileWith("tvx1\nfile\t" + std::string(1994, 'a') + tail + "\nfile\tnext\n");
  RecordingSink sink;
  ASSERT_TRUE(readWorkingSet(path, sink));
  EXPECT_EQ(sink.calls, (Calls{"file:" + std::string(1994, 'a'), "uri:tail", "file:next"}));

  // A first line longer than 1999 bytes: its rest is read as lines too.
  RecordingSink second;
  ASSERT_TRUE(readWorkingSet(fileWith("tvx1 " + std::string(1994, '-') + "file\tfrom-first-line\n"),
                             second));
  EXPECT_EQ(second.calls, (Calls{"file:from-first-line"}));
}

TEST(WriteWorkingSet, WritesCrLfLinesThatReadBack) {
  const std::string path = tempPath("written");
  const std::vector<std::pair<std::string, std::string>> targets = {
      {"file", "C:\\docs\\a.htm"},
      {"http", "http://server/b.html"},
      {"https", "https://server/s.html"},
      {"file", "/home/u/日本語/ c.html "},
  };
  ASSERT_TRUE(writeWorkingSet(path, targets));
  EXPECT_EQ(readFile(path),
            "tvx1\r\nfile\tC:\\docs\\a.htm\r\nhttp\thttp://server/b.html\r\n"
            "https\thttps://server/s.html\r\nfile\t/home/u/日本語/ c.html \r\n");
  RecordingSink sink;
  ASSERT_TRUE(readWorkingSet(path, sink));
  EXPECT_EQ(sink.calls, (Calls{"file:C:\\docs\\a.htm", "uri:http://server/b.html",
                               "uri:https://server/s.html", "file:/home/u/日本語/ c.html "}));

  ASSERT_TRUE(writeWorkingSet(path, {}));
  EXPECT_EQ(readFile(path), "tvx1\r\n");
  EXPECT_FALSE(writeWorkingSet(tempPath("missing-folder/x"), targets));
}

TEST(WriteWorkingSet, ReportsAFullDisk) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(writeWorkingSet("/dev/full", {{"file", std::string(10000, 'a')}}));
}

}  // namespace
