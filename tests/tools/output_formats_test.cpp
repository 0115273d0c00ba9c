// tessavo-check's formats for editors and CI, and its exit status, run as a
// program: the gnu lines read back as Vim's quickfix reads them, the json
// document read back by an independent JSON reader, both held against the
// text run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "checker_fixture.h"
#include "tests/net/python_http_server.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream input(text);
  for (std::string line; std::getline(input, line);) lines.push_back(line);
  return lines;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// One entry of Vim's quickfix list as 'errorformat' "%f:%l:%c: %t%*[^:]: %m"
// makes it: %f becomes the shortest run of characters that the rest of the
// pattern can follow (Vim turns "%f:" into ".\{-1,}:"), %t takes one
// character, %*[^:] skips the rest of the word. A line that does not match
// is a text entry without a place.
struct QuickfixEntry {
  bool valid = false;
  std::string file;
  int line = 0;
  int column = 0;
  char type = 0;
  std::string message;
};

QuickfixEntry quickfixEntry(const std::string& line) {
  static const std::regex pattern(R"(^(.+?):(\d+):(\d+): (.)[^:]*: (.*)$)");
  std::smatch match;
  QuickfixEntry entry;
  if (!std::regex_match(line, match, pattern)) return entry;
  entry.valid = true;
  entry.file = match[1];
  entry.line = std::stoi(match[2]);
  entry.column = std::stoi(match[3]);
  entry.type = match[4].str()[0];
  entry.message = match[5];
  return entry;
}

// The text run's message lines: all but headers and the closing line.
std::vector<std::string> textMessages(const std::string& output) {
  std::vector<std::string> messages;
  for (const std::string& line : linesOf(output)) {
    if (line.rfind("-------- ", 0) != 0 && line != "検査終了") messages.push_back(line);
  }
  return messages;
}

class OutputFormatsTest : public CheckerTest {
 protected:
  // A validator that reports what the document says: each of its lines is
  // one message about the document, as "LINE:COLUMN:KIND: text".
  std::string echoingValidator() {
    return scriptValidator(
        "echo",
        "for copy; do :; done; tr -d '\\r' < \"$copy\" | sed 's/^/val:$conv.sgml:/' > \"$err\"");
  }

  // `file` under folder_ holding a valid HTML 4.01 page with errors on
  // lines 3 to 6.
  void writePageWithErrors(const std::string& file) {
    writeFile(folder_ + file,
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n"
              "<html><head><title>t</title></head><body>\n"
              "<p>one <blink>two</blink>\n"
              "<p align=\"left\" bogus=\"y\">three\n"
              "<div><zz>four</zz></div>\n"
              "<p><img src=\"a.png\"></p>\n"
              "</body></html>\n");
  }
};

TEST_F(OutputFormatsTest, EveryFormatGivesTheExitStatusOfEachMix) {
  writeFile(folder_ + "clean.htm", "");
  writeFile(folder_ + "info.htm", "1:0:I: a note\n2:3: start tag was here\n");
  writeFile(folder_ + "warning.htm", "2:3:W: odd\n");
  writeFile(folder_ + "error.htm", "2:3:E: bad\n4:0:W: odd\n");
  writeFile(folder_ + "idref.htm", "5:1:X: reference to non-existent ID \"A\"\n");
  std::filesystem::create_directories(folder_ + "empty");
  const std::string download = "http://127.0.0.1:1/a.htm";  // nobody listens on port 1
  const struct {
    std::string arguments;
    int status;
  } cases[] = {
      {"clean.htm info.htm", 0},
      {"clean.htm warning.htm", 0},
      {"--warnings-are-errors clean.htm warning.htm", 1},
      {"--warnings-are-errors info.htm", 0},
      {"clean.htm error.htm warning.htm", 1},
      {"idref.htm", 1},
      {"error.htm missing.htm", 2},
      {"clean.htm " + download, 2},
      {"error.htm " + download, 2},
      {"clean.htm ftp://host/a.htm", 2},  // a scheme that cannot be checked
      {"empty", 2},
  };
  const std::string validator = "--validator '" + echoingValidator() + "' ";
  for (const auto& c : cases) {
    const Result text = run(validator + c.arguments);
    const Result gnu = run(validator + "--format gnu " + c.arguments);
    const Result json = run(validator + "--format=json " + c.arguments);
    EXPECT_EQ(text.status, c.status) << c.arguments << "\n" << text.output;
    EXPECT_EQ(gnu.status, c.status) << c.arguments;
    EXPECT_EQ(json.status, c.status) << c.arguments;

    // One gnu line and one json message per message line of the text run.
    const std::vector<std::string> messages = textMessages(text.output);
    EXPECT_EQ(linesOf(gnu.output).size(), messages.size()) << c.arguments << "\n" << gnu.output;
    const nlohmann::json document = nlohmann::json::parse(json.output);
    std::size_t jsonMessages = 0;
    for (const auto& target : document["targets"]) jsonMessages += target["messages"].size();
    EXPECT_EQ(jsonMessages, messages.size()) << c.arguments;
    EXPECT_EQ(document["exitStatus"], c.status) << c.arguments;
  }
}

TEST_F(OutputFormatsTest, GnuLinesTakeAnEditorToTheLineAndColumn) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  writePageWithErrors("page.html");
  PythonHttpServer server(folder_);
  ASSERT_TRUE(server.available()) << "needs python3";
  const std::string uri = server.url("/page.html");
  const std::string targets = "page.html samples/euc-jp-errors.html '" + uri + "'";
  const Result text = run(targets);
  const Result gnu = run("--format gnu " + targets);
  EXPECT_EQ(gnu.status, 1);
  EXPECT_EQ(gnu.status, text.status);

  // Each gnu line is the text run's line, placed: the target, the same line,
  // the column counted from 1, the kind spelled out.
  const std::vector<std::string> messages = textMessages(text.output);
  const std::vector<std::string> lines = linesOf(gnu.output);
  ASSERT_EQ(lines.size(), messages.size()) << gnu.output;
  ASSERT_GE(lines.size(), 10u);
  // In the file list's order: by location, letter case ignored.
  const std::string files[] = {uri, "page.html", "samples/euc-jp-errors.html"};
  std::size_t fileIndex = 0;
  std::string previousFile;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const QuickfixEntry entry = quickfixEntry(lines[i]);
    ASSERT_TRUE(entry.valid) << lines[i];
    if (entry.file != previousFile && !previousFile.empty()) ++fileIndex;
    previousFile = entry.file;
    ASSERT_LT(fileIndex, std::size(files)) << lines[i];
    EXPECT_EQ(entry.file, files[fileIndex]) << lines[i];
    std::ostringstream expected;
    const char* kinds = messages[i].find(":E: ") != std::string::npos ? "error" : "info";
    expected << entry.line << ':' << entry.column - 1 << ':';
    EXPECT_EQ(messages[i].rfind(expected.str(), 0), 0u) << messages[i] << " / " << lines[i];
    EXPECT_EQ(entry.type, kinds[0]) << lines[i];
    EXPECT_EQ(messages[i].substr(messages[i].size() - entry.message.size()), entry.message);
  }

  // The editor lands where the validator points: just after the name that
  // the message quotes.
  const std::vector<std::string> page = linesOf(readFile(folder_ + "page.html"));
  int placed = 0;
  for (const std::string& line : lines) {
    const QuickfixEntry entry = quickfixEntry(line);
    if (entry.file != "page.html") continue;
    ASSERT_LE(static_cast<std::size_t>(entry.line), page.size()) << line;
    const std::string& documentLine = page[entry.line - 1];
    const std::size_t quote = entry.message.find('"');
    if (entry.message.find("undefined") == std::string::npos &&
        entry.message.find("there is no attribute") == std::string::npos) {
      continue;
    }
    const std::string name =
        lowerCase(entry.message.substr(quote + 1, entry.message.find('"', quote + 1) - quote - 1));
    const std::string before = lowerCase(documentLine.substr(0, entry.column - 1));
    const std::size_t at = before.rfind(name);
    ASSERT_NE(at, std::string::npos) << line << " in \"" << documentLine << "\"";
    EXPECT_LE(before.size() - (at + name.size()), 1u) << line << " in \"" << documentLine << "\"";
    ++placed;
  }
  EXPECT_EQ(placed, 4);
}

TEST_F(OutputFormatsTest, GnuLinesWithoutAPlaceNameTheTarget) {
  const std::string validator =
      "--validator '" +
      scriptValidator("v",
                      "printf 'val:E: no place\\nval:/usr/x.dtd:3:4:W: in the DTD\\n' > \"$err\"") +
      "' ";
  const Result result = run(validator + "--format gnu samples/ascii-valid.html missing.htm");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.output,
            "missing.htm: error: 入力ファイルを開けない: missing.htm\n"
            "samples/ascii-valid.html: error: no place\n"
            "samples/ascii-valid.html: warning: /usr/x.dtd:3:5: in the DTD\n");
  for (const std::string& line : linesOf(result.output)) {
    EXPECT_FALSE(quickfixEntry(line).valid) << line;
  }
}

TEST_F(OutputFormatsTest, ControlCharactersInNamesAreEscapedInTextAndGnu) {
  // Each name holds a control character; the line break one would start a
  // line naming another file.
  const std::string names[] = {"a\nb.htm:9:9: error: forged.htm", "c\x1b[31md.htm", "e\rf.htm",
                               "g\x01h\x7f.htm"};
  const std::string shown[] = {"a\\nb.htm:9:9: error: forged.htm", "c\\x1b[31md.htm", "e\\rf.htm",
                               "g\\x01h\\x7f.htm"};
  std::filesystem::create_directories(folder_ + "hostile");
  for (const std::string& name : names) {
    writeFile(folder_ + "hostile/" + name,
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n");
  }
  const std::string validator = "--validator '" + fakeValidator("v", "v:x:2:3:E: bad") + "' ";

  std::string text = "";
  std::string gnu = "";
  for (const std::string& name : shown) {
    text += "-------- hostile/" + name + "\n2:3:E: bad\n";
    gnu += "hostile/" + name + ":2:4: error: bad\n";
  }
  EXPECT_EQ(run(validator + "hostile").output, text + "検査終了\n");
  EXPECT_EQ(run(validator + "--format gnu hostile").output, gnu);
  // json escapes them as JSON does, and gives the names back whole.
  const nlohmann::json document =
      nlohmann::json::parse(run(validator + "--format json hostile").output);
  ASSERT_EQ(document["targets"].size(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(document["targets"][i]["location"], "hostile/" + names[i]);
  }
}

TEST_F(OutputFormatsTest, JsonIsOneDocumentThatAgreesWithTheTextRun) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  writePageWithErrors("page.html");
  writeFile(folder_ + "xhtml.html",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
            "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>日本語</title></head>\n"
            "<body><p>本文<br></p></body></html>\n");
  writeFile(folder_ + "html5.html", "<!DOCTYPE html>\n<title>x</title>\n");
  const std::string targets = "page.html xhtml.html html5.html missing.html samples/sample.tvx";
  const Result text = run(targets);
  const Result json = run("--format json " + targets);
  EXPECT_EQ(json.status, 2);
  EXPECT_EQ(json.status, text.status);
  const nlohmann::json document = nlohmann::json::parse(json.output);

  // The targets in the text run's order, each with as many messages as it
  // has lines there.
  std::vector<std::pair<std::string, std::size_t>> fromText;
  for (const std::string& line : linesOf(text.output)) {
    if (line.rfind("-------- ", 0) == 0) {
      fromText.emplace_back(line.substr(9), 0);
    } else if (line != "検査終了") {
      ++fromText.back().second;
    }
  }
  ASSERT_EQ(document["targets"].size(), fromText.size());
  int errors = 0;
  for (std::size_t i = 0; i < fromText.size(); ++i) {
    const auto& target = document["targets"][i];
    EXPECT_EQ(target["location"], fromText[i].first);
    EXPECT_EQ(target["messages"].size(), fromText[i].second) << fromText[i].first;
    EXPECT_EQ(target["kind"], "file");
    for (const auto& message : target["messages"]) errors += message["type"] == "error";
  }
  EXPECT_EQ(document["summary"]["errors"], errors);
  EXPECT_EQ(document["summary"]["targets"], fromText.size());
  EXPECT_EQ(document["summary"]["checked"], fromText.size() - 1);
  EXPECT_EQ(document["summary"]["couldNotCheck"], 1);
  EXPECT_EQ(document["exitStatus"], 2);
  EXPECT_TRUE(document["runMessages"].empty());

  auto target = [&document](const std::string& location) {
    for (const auto& t : document["targets"]) {
      if (t["location"] == location) return t;
    }
    return nlohmann::json();
  };
  const struct {
    const char* location;
    const char* state;
    nlohmann::json encoding;
    nlohmann::json validator;
    nlohmann::json dtd;
  } cases[] = {
      {"page.html", "checked", "US-ASCII", "SGML", "declared"},
      {"xhtml.html", "checked", "UTF-8", "XML", "declared"},
      {"html5.html", "checked", "US-ASCII", "SGML", "HTML5"},
      {"samples/euc-jp-errors.html", "checked", "EUC-JP", "SGML", "declared"},
      {"samples/shift_jis-valid.html", "checked", "Shift_JIS", "SGML", "declared"},
      {"samples/iso-2022-jp-errors.html", "checked", "ISO-2022-JP", "SGML", "declared"},
      {"missing.html", "could not check", nullptr, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const nlohmann::json t = target(c.location);
    ASSERT_FALSE(t.is_null()) << c.location;
    EXPECT_EQ(t["state"], c.state) << c.location;
    EXPECT_EQ(t["encoding"], c.encoding) << c.location;
    EXPECT_EQ(t["validator"], c.validator) << c.location;
    EXPECT_EQ(t["dtd"], c.dtd) << c.location;
  }
  EXPECT_EQ(target("xhtml.html")["validatorEncoding"], "UTF-8");
  EXPECT_EQ(target("page.html")["validatorEncoding"], "EUC-JP");

  // A message as the validator gave it, its column counted from 1.
  const nlohmann::json first = target("page.html")["messages"][0];
  EXPECT_EQ(first, nlohmann::json::parse(R"({"line": 3, "column": 14, "type": "error",
      "kind": "E", "text": "element \"BLINK\" undefined"})"));
  const nlohmann::json notice = target("html5.html")["messages"][0];
  EXPECT_TRUE(notice["line"].is_null());
  EXPECT_EQ(notice["type"], "info");
  const nlohmann::json missing = target("missing.html")["messages"][0];
  EXPECT_EQ(missing["type"], "error");
  EXPECT_EQ(missing["text"], "入力ファイルを開けない: missing.html");
}

TEST_F(OutputFormatsTest, TargetsNeverReachedAreCountedApart) {
  // The validator cannot be started: the first target says so, the other
  // three are never reached.
  for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm"}) writeFile(folder_ + name, "");
  const std::string arguments = "--validator '" + folder_ + "none' a.htm b.htm c.htm d.htm";
  const Result json = run("--format json " + arguments);
  EXPECT_EQ(json.status, 2);
  // The window's summary, on standard error.
  shell("cd '" + folder_ + "' && XDG_RUNTIME_DIR='" + folder_ + "temp' '" + kChecker + "' " +
        kNoHtml5Checker + " " + arguments + " >/dev/null 2>summary; test $? = 2");
  EXPECT_EQ(readFile(folder_ + "summary"),
            "検査終了: 4件中 1件, エラーあり 0件, 検査できず 1件, 未検査 3件, 1行\n");
  const nlohmann::json document = nlohmann::json::parse(json.output);
  ASSERT_EQ(document["targets"].size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(document["targets"][i]["reached"], i == 0) << i;
    EXPECT_EQ(document["targets"][i]["state"], "could not check") << i;
  }
  EXPECT_EQ(document["summary"], nlohmann::json::parse(R"({"targets": 4, "checked": 0,
      "couldNotCheck": 1, "stopped": 0, "notReached": 3, "errors": 1, "warnings": 0,
      "infos": 0})"));
}

TEST_F(OutputFormatsTest, MaxErrorsReachesTheValidator) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  writePageWithErrors("page.html");
  const struct {
    std::string arguments;
    std::string settings;
    std::size_t messages;
  } cases[] = {
      {"", "", 5},
      {"--max-errors 2", "", 3},  // two errors and the validator's note that it stopped
      {"--max-errors=0", "MaxErrors=1\n", 5},
      {"", "MaxErrors=1\n", 2},
      {"", "MaxErrors=-1\n", 5},
  };
  for (const auto& c : cases) {
    writeSettings(c.settings);
    const Result result = run(c.arguments + " page.html");
    const std::vector<std::string> messages = textMessages(result.output);
    EXPECT_EQ(messages.size(), c.messages) << c.arguments << c.settings << result.output;
    if (c.messages < 5) {
      EXPECT_EQ(messages.back().rfind("I: maximum number of errors", 0), 0u) << result.output;
    }
  }
}

}  // namespace
