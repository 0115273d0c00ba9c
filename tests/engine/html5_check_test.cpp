// HTML5 pages through the check run: the real checker (Debian's Java,
// vnu.jar from npm) against its own command line on a small corpus, and
// stand-ins for the faults the real one cannot be made to show on demand.
// The real checker is started once for the whole program: a Java start
// costs seconds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <nlohmann/json.hpp>

#include "engine/html5_checker.h"
#include "engine/message_parts.h"
#include "python_http_server.h"
#include "tests/support/check_run_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kCorpus = TESSAVO_SOURCE_DIR "/tests/data/html5/";
const std::string kJar = TESSAVO_BINARY_DIR "/bin/vnu.jar";
const char kHtml5Page[] = "<!DOCTYPE html>\n<html lang=\"en\"><title>t</title><p>x</html>\n";

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// The one real checker of this program, ended at its exit.
Html5Checker& realChecker() {
  static Html5Checker checker([] {
    Html5CheckerSettings settings;
    settings.jar = kJar;
    return settings;
  }());
  return checker;
}

// One message as both sides can give it: line, column from 1, kind, text.
struct Message {
  int line;
  int column;
  char kind;
  std::string text;
  bool operator==(const Message& other) const {
    return line == other.line && column == other.column && kind == other.kind && text == other.text;
  }
};

std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << m.line << ":" << m.column << ":" << m.kind << ": " << m.text;
}

// The messages of `java -jar vnu.jar --format json FILES`, by file name.
std::map<std::string, std::vector<Message>> commandLineMessages(
    const std::vector<std::string>& files) {
  std::string command = "java -jar '" + kJar + "' --format json --exit-zero-always";
  for (const std::string& file : files) command += " '" + kCorpus + file + "'";
  // It writes its report to standard error.
  command += " 2>&1 >/dev/null";
  std::string output;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) output.append(block, got);
    ::pclose(pipe);
  }
  std::map<std::string, std::vector<Message>> byFile;
  const nlohmann::json report = nlohmann::json::parse(output, nullptr, false);
  if (report.is_discarded()) {
    ADD_FAILURE() << "not the checker's JSON: " << output.substr(0, 500);
    return byFile;
  }
  for (const nlohmann::json& m : report["messages"]) {
    const std::string url = m.value("url", "");
    const int line = m.value("lastLine", m.value("firstLine", 0));
    const int column = m.value("lastColumn", m.value("firstColumn", 0));
    const std::string type = m.value("type", "");
    const char kind = type == "error" ? 'E' : m.value("subType", "") == "warning" ? 'W' : 'I';
    byFile[url.substr(url.rfind('/') + 1)].push_back(
        Message{line, line != 0 ? column : 0, kind, m.value("message", "")});
  }
  return byFile;
}

// A pane line split as gnu and json output read it.
Message messageOf(const std::string& line) {
  const MessageParts parts = splitMessageLine(line);
  return Message{parts.line, parts.line != 0 ? parts.column + 1 : 0, parts.kind, parts.text};
}

// The lines after each header line, by the header's file name, without the
// run's closing line.
std::map<std::string, std::vector<std::string>> linesByTarget(const std::vector<PaneLine>& pane) {
  std::map<std::string, std::vector<std::string>> byTarget;
  std::vector<std::string>* current = nullptr;
  for (const PaneLine& line : pane) {
    if (startsWith(line.text, "-------- ")) {
      current = &byTarget[line.text.substr(line.text.rfind('/') + 1)];
    } else if (current != nullptr && line.text != "検査終了") {
      current->push_back(line.text);
    }
  }
  return byTarget;
}

class Html5CheckTest : public CheckRunTest {
 protected:
  std::vector<PaneLine> checkWith(Html5Checker& checker, int timeout = 120, int jobs = 1) {
    CheckJob job = jobFor("");
    job.html5Checker = &checker;
    job.validatorTimeout = timeout;
    job.jobs = jobs;
    RunSgml run;
    EXPECT_TRUE(run.start(&job));
    pane_.waitUntilDone(std::chrono::minutes(3));
    waitForThreadEnd(run);
    incomplete_ = run.incomplete();
    return pane_.lines();
  }

  // A stand-in for Java that serves on 127.0.0.1 at a port the kernel
  // picks. `mode`: "silent" accepts and never answers; "silent-once" does
  // so in its first run and answers every request with no messages in
  // later ones; "answer" answers so from the first; "fail" ends at once
  // with status 3. Each run adds a line to "standin.runs" and writes the
  // folder it started in, with the vnu.properties it found there and whether
  // the file that names was there too, to "standin.folder"; each connection
  // accepted one to "standin.accepted", each request its head to
  // "standin.requests".
  std::string standIn(const std::string& mode) {
    std::string script = R"PY(#!/usr/bin/env python3
import os, socket, sys
here, mode = HERE, MODE
with open(here + 'standin.runs', 'a') as f: f.write('run\n')
runs = len(open(here + 'standin.runs').readlines())
properties = open('vnu.properties').read() if os.path.exists('vnu.properties') else ''
named = properties.partition('=')[2].strip()
with open(here + 'standin.folder', 'w') as f:
    f.write(os.getcwd() + '\n' + properties + str(bool(named) and os.path.isfile(named)) + '\n')
if mode == 'fail': sys.exit(3)
answer = mode == 'answer' or (mode == 'silent-once' and runs > 1)
s = socket.socket()
s.bind(('127.0.0.1', 0))
s.listen(8)
held = []
while True:
    c, _ = s.accept()
    held.append(c)
    with open(here + 'standin.accepted', 'a') as f: f.write('x\n')
    while answer:
        data = b''
        while b'\r\n\r\n' not in data:
            more = c.recv(65536)
            if not more: break
            data += more
        if not data: break
        head, _, body = data.partition(b'\r\n\r\n')
        with open(here + 'standin.requests', 'ab') as f: f.write(head + b'\n')
        length = [int(l.split(b':')[1]) for l in head.split(b'\r\n')
                  if l.lower().startswith(b'content-length:')][0]
        while len(body) < length: body += c.recv(65536)
        json = b'{"messages":[]}'
        c.sendall(b'HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n' % len(json) + json)
)PY";
    script.replace(script.find("HERE"), 4, "'" + folder_ + "'");
    script.replace(script.find("MODE"), 4, "'" + mode + "'");
    const std::string path = writeFile(folder_ + "java-stand-in", script);
    ::chmod(path.c_str(), 0755);
    return path;
  }
  std::unique_ptr<Html5Checker> standInChecker(const std::string& mode) {
    Html5CheckerSettings settings;
    settings.jar = writeFile(folder_ + "vnu.jar", "not read by the stand-in");
    settings.java = standIn(mode);
    return std::make_unique<Html5Checker>(settings);
  }
  int linesIn(const std::string& name) {
    if (!exists(folder_ + name)) return 0;
    const std::string text = readFile(folder_ + name);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }
};

TEST_F(Html5CheckTest, CorpusMatchesTheCommandLineChecker) {
  if (!exists(kJar)) GTEST_SKIP() << kJar << " is missing: scripts/setup.sh fetches it";
  const std::vector<std::string> files = {
      "bom.html",     "crlf.html",          "declared-shift_jis.html",
      "invalid.html", "japanese-utf8.html", "no-doctype.html",
      "valid.html",   "xhtml5.xhtml"};
  auto expected = std::async(std::launch::async, commandLineMessages, files);
  for (const std::string& file : files) fileTarget(kCorpus + file);
  std::map<std::string, std::vector<std::string>> got =
      linesByTarget(checkWith(realChecker(), 120, 2));
  const std::map<std::string, std::vector<Message>> peer = expected.get();
  EXPECT_FALSE(incomplete_);

  for (const std::string& file : files) {
    std::vector<Message> ours;
    for (const std::string& line : got[file]) {
      // The command line takes every file for UTF-8, and says nothing of
      // the parser it chose; the service is told nothing and applies the
      // HTML encoding rules, as for a page it fetched.
      if (line.find("The character encoding was not declared") != std::string::npos ||
          line.find("Using the preset for") != std::string::npos) {
        continue;
      }
      ours.push_back(messageOf(line));
    }
    if (file == "declared-shift_jis.html") {
      // The command line reads the Shift_JIS bytes as malformed UTF-8; the
      // checker given the bytes reads them as declared and judges that.
      ASSERT_FALSE(ours.empty());
      EXPECT_EQ(ours[0].text, "Legacy encoding “shift_jis” used. Documents must use UTF-8.");
      for (const Message& m : ours) EXPECT_EQ(m.text.find("Malformed"), std::string::npos) << m;
      continue;
    }
    const auto found = peer.find(file);
    EXPECT_EQ(ours, found != peer.end() ? found->second : std::vector<Message>()) << file;
  }
  EXPECT_TRUE(got["valid.html"].empty());
  EXPECT_FALSE(got["japanese-utf8.html"].empty());
}

TEST_F(Html5CheckTest, WithoutJarOrJavaThePageGoesToTheSgmlValidatorWithTheReason) {
  const std::string jar = writeFile(folder_ + "vnu.jar", "");
  const struct {
    std::string jar;
    std::string java;
    std::string reason;
  } cases[] = {
      {folder_ + "missing/vnu.jar", "java",
       "vnu.jar が見つかりません: " + folder_ + "missing/vnu.jar"},
      {jar, "no-such-java-program", "no-such-java-program が見つかりません"},
      {"", "java", "HTML5 チェッカーは使わない設定"},
  };
  const std::string page = writeFile(docs() + "page.html", kHtml5Page);
  fileTarget(page);
  for (const auto& c : cases) {
    Html5CheckerSettings settings;
    settings.jar = c.jar;
    settings.java = c.java;
    Html5Checker checker(settings);
    const std::vector<std::string> lines = linesByTarget(checkWith(checker))["page.html"];
    ASSERT_FALSE(lines.empty()) << c.reason;
    EXPECT_TRUE(startsWith(lines[0], "I: ")) << lines[0];
    EXPECT_NE(lines[0].find(": " + c.reason), std::string::npos) << lines[0];
    EXPECT_EQ(lines[0].size() - lines[0].rfind(c.reason), c.reason.size()) << lines[0];
    EXPECT_FALSE(incomplete_);
    EXPECT_EQ(checker.servicePid(), 0);
  }
}

TEST_F(Html5CheckTest, ACheckerThatNeverAnswersRunsOutOfTime) {
  std::unique_ptr<Html5Checker> checker = standInChecker("silent");
  fileTarget(writeFile(docs() + "page.html", kHtml5Page));
  const std::vector<std::string> lines = linesByTarget(checkWith(*checker, 1))["page.html"];
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "E: HTML5 チェッカーが時間切れ: 1 秒");
  EXPECT_TRUE(incomplete_);
}

TEST_F(Html5CheckTest, StopEndsARequestInProgressWithinASecond) {
  std::unique_ptr<Html5Checker> checker = standInChecker("silent");
  fileTarget(writeFile(docs() + "page.html", kHtml5Page));
  fileTarget(writeFile(docs() + "second.html", kHtml5Page));
  CheckJob job = jobFor("");
  job.html5Checker = checker.get();
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  test_support::waitUntil([this] { return linesIn("standin.accepted") > 0; },
                          "the stand-in to accept the request");
  const Clock::time_point asked = Clock::now();
  run.stop();
  pane_.waitUntilDone();
  EXPECT_LT(Clock::now() - asked, std::chrono::seconds(1));
  waitForThreadEnd(run);
  const std::vector<std::string> texts = pane_.texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1], "E: 検査を中断したため未完了");
  EXPECT_TRUE(run.incomplete());
}

TEST_F(Html5CheckTest, ACheckerKilledMidRunFailsItsPageAndStartsAgainForTheNext) {
  std::unique_ptr<Html5Checker> checker = standInChecker("silent-once");
  fileTarget(writeFile(docs() + "a.html", kHtml5Page));
  fileTarget(writeFile(docs() + "b.html", kHtml5Page));
  CheckJob job = jobFor("");
  job.html5Checker = checker.get();
  RunSgml run;
  ASSERT_TRUE(run.start(&job));
  test_support::waitUntil([this] { return linesIn("standin.accepted") > 0; },
                          "the stand-in to accept the request");
  ::kill(checker->servicePid(), SIGKILL);
  pane_.waitUntilDone();
  waitForThreadEnd(run);
  std::map<std::string, std::vector<std::string>> lines = linesByTarget(pane_.lines());
  EXPECT_EQ(lines["a.html"], std::vector<std::string>{"E: HTML5 チェッカーが異常終了: SIGKILL"});
  EXPECT_EQ(lines["b.html"], std::vector<std::string>());
  EXPECT_EQ(linesIn("standin.runs"), 2);
  EXPECT_TRUE(run.incomplete());
}

TEST_F(Html5CheckTest, ADownloadGoesWithItsContentType) {
  std::unique_ptr<Html5Checker> checker = standInChecker("answer");
  writeFile(folder_ + "site/page.xhtml",
            "<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"/>\n");
  writeFile(folder_ + "site/page.html", kHtml5Page);
  PythonHttpServer server(folder_ + "site");
  ASSERT_TRUE(server.available());
  target(TargetKind::Http, server.url("/page.html"));
  target(TargetKind::Http, server.url("/page.xhtml"));
  fileTarget(folder_ + "site/page.xhtml");
  checkWith(*checker);
  EXPECT_FALSE(incomplete_);
  const std::string requests = readFile(folder_ + "standin.requests");
  std::vector<std::string> types;
  for (std::size_t at = requests.find("Content-Type: "); at != std::string::npos;
       at = requests.find("Content-Type: ", at + 1)) {
    types.push_back(requests.substr(at + 14, requests.find('\r', at) - at - 14));
  }
  // As python's server sends them, and for the local file as its syntax says.
  EXPECT_EQ(types, (std::vector<std::string>{"text/html", "application/xhtml+xml",
                                             "application/xhtml+xml"}));
}

// The service reads "vnu.properties" from the folder it starts in: ours, not
// one the user happens to be in, and gone once the service listens.
TEST_F(Html5CheckTest, TheServiceStartsInAFolderOfItsOwnThatIsGoneOnceItListens) {
  std::unique_ptr<Html5Checker> checker = standInChecker("answer");
  fileTarget(writeFile(docs() + "page.html", kHtml5Page));
  checkWith(*checker);
  const std::string record = readFile(folder_ + "standin.folder");
  const std::string folder = record.substr(0, record.find('\n'));
  EXPECT_EQ(folder.rfind(folder_ + "temp/", 0), 0u) << record;
  EXPECT_NE(record.find(".html5-load=specification-stub.html\n"), std::string::npos) << record;
  EXPECT_EQ(record.substr(record.size() - 5), "True\n") << record;
  EXPECT_FALSE(exists(folder)) << folder;
  EXPECT_NE(checker->servicePid(), 0);
}

TEST_F(Html5CheckTest, AFailedStartIsTriedOncePerRun) {
  std::unique_ptr<Html5Checker> checker = standInChecker("fail");
  fileTarget(writeFile(docs() + "a.html", kHtml5Page));
  fileTarget(writeFile(docs() + "b.html", "<p>no doctype\n"));
  std::map<std::string, std::vector<std::string>> lines = linesByTarget(checkWith(*checker));
  for (const char* name : {"a.html", "b.html"}) {
    ASSERT_EQ(lines[name].size(), 1u) << name;
    EXPECT_TRUE(startsWith(lines[name][0], "E: HTML5 チェッカーを起動できない: "))
        << lines[name][0];
    EXPECT_NE(lines[name][0].find(": 終了コード 3"), std::string::npos) << lines[name][0];
  }
  EXPECT_EQ(linesIn("standin.runs"), 1);
  checkWith(*checker);
  EXPECT_EQ(linesIn("standin.runs"), 2);
}

}  // namespace
