// http targets through the whole check run: a local python3 http.server and
// a scripted server on 127.0.0.1 stand in for the web.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/process.h"
#include "tests/net/python_http_server.h"
#include "tests/net/scripted_server.h"
#include "tests/support/check_run_fixture.h"

namespace {

using Texts = std::vector<std::string>;

// The lines of one target without its header line.
Texts body(const std::vector<PaneLine>& lines, std::size_t from, std::size_t to) {
  Texts result;
  for (std::size_t i = from; i < to; ++i) result.push_back(lines[i].text);
  return result;
}

TEST_F(CheckRunTest, HttpDocumentsGiveTheSameLinesAsLocalCopies) {
  if (platform::findProgram("onsgmls").empty()) GTEST_SKIP() << "needs onsgmls";
  shell("mkdir -p '" + folder_ + "site' && cp '" TESSAVO_SOURCE_DIR "'/samples/*.html '" + folder_ +
        "site/'");
  PythonHttpServer server(folder_ + "site");
  if (!server.available()) GTEST_SKIP() << "needs python3";
  const char* names[] = {"ascii-valid.html", "shift_jis-valid.html", "euc-jp-errors.html",
                         "iso-2022-jp-errors.html"};
  for (const char* name : names) {
    target(TargetKind::Http, server.url(std::string("/") + name));
    fileTarget(folder_ + "site/" + name);
  }
  const auto lines = check("");
  // Headers sit at the start and between targets; each http target's lines
  // equal those of its local copy that follows it.
  std::vector<std::size_t> headers;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].text.rfind("-------- ", 0) == 0) headers.push_back(i);
  }
  ASSERT_EQ(headers.size(), 8u);
  headers.push_back(lines.size() - 1);
  for (std::size_t t = 0; t < 8; t += 2) {
    EXPECT_EQ(lines[headers[t]].text, "-------- " + server.url(std::string("/") + names[t / 2]));
    EXPECT_EQ(body(lines, headers[t] + 1, headers[t + 1]),
              body(lines, headers[t + 1] + 1, headers[t + 2]))
        << names[t / 2];
  }
  EXPECT_GT(lines.size(), 12u);  // the documents with errors gave some
  // The run's download file and its intermediate files are gone.
  EXPECT_EQ(std::system(("test -z \"$(ls -A '" + temp() + "')\"").c_str()), 0);
}

TEST_F(CheckRunTest, HttpStatusOtherThan200IsAnError) {
  shell("mkdir -p '" + folder_ + "site/dir' && echo x > '" + folder_ + "site/ok.html'");
  PythonHttpServer server(folder_ + "site");
  if (!server.available()) GTEST_SKIP() << "needs python3";
  target(TargetKind::Http, server.url("/missing.html"));
  target(TargetKind::Http, server.url("/dir"));  // redirected to "/dir/"
  target(TargetKind::Http, server.url("/ok.html"));
  check(fakeValidator("v", "echo 'val:x:1:1:E: checked' > \"$err\""));
  EXPECT_EQ(
      pane_.texts(),
      (Texts{"-------- " + server.url("/missing.html"), "E: HTTPエラー：Not Found",
             "-------- " + server.url("/dir"), "E: HTTPエラー：Moved Permanently",
             "-------- " + server.url("/ok.html"), kNoDoctype, "x:1:1:E: checked", "検査終了"}));
}

TEST_F(CheckRunTest, HttpTargetsUseTheirOwnConnectionAndTheRunFolder) {
  const std::string response =
      "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: keep-alive\r\n\r\n\x82\xA0\r\n";
  ScriptedServer server(
      std::vector<ConnectionScript>{{{Reply{{response}}}, false}, {{Reply{{response}}}, false}});
  target(TargetKind::Http, server.url("/a.html"));
  target(TargetKind::Http, server.url("/b.html"));
  const std::string validator = fakeValidator(
      "v", "echo \"$in\" >> \"$DIR/inputs\"; cat \"$in\" >> \"$DIR/seen\"; : > \"$err\"");
  check(validator);
  const std::vector<std::string> requests = server.finish();
  EXPECT_EQ(server.connectionsAccepted(), 2);
  ASSERT_EQ(requests.size(), 2u);
  for (const std::string& request : requests) {
    EXPECT_NE(request.find("User-Agent: Tessavo/1.30\r\n"), std::string::npos) << request;
  }
  // A download's copy is handed over by a link the held validator may read.
  EXPECT_EQ(readFile(folder_ + "inputs"), "tvx-conv.sgml\ntvx-conv.sgml\n");
  EXPECT_EQ(readFile(folder_ + "seen"), "\xA4\xA2\r\n\xA4\xA2\r\n");
  EXPECT_EQ(pane_.texts(), (Texts{"-------- " + server.url("/a.html"), kNoDoctype,
                                  "-------- " + server.url("/b.html"), kNoDoctype, "検査終了"}));
}

TEST_F(CheckRunTest, RefusedConnectionFailsTheTargetOnly) {
  // A port that was open a moment ago and is closed now.
  std::string url;
  {
    ScriptedServer server(std::vector<ConnectionScript>{});
    url = server.url("/a.html");
    server.finish();
  }
  target(TargetKind::Http, url);
  const auto lines = check(fakeValidator("v", ": > \"$err\""));
  ASSERT_EQ(lines.size(), 3u);
  // A refused connection is an orderly failure of the client; the reason
  // follows the fixed text.
  EXPECT_EQ(lines[1].text, "E: ダウンロードに失敗：cannot connect to " +
                               url.substr(std::string("http://").size(),
                                          url.size() - std::string("http:///a.html").size()) +
                               " (Connection refused)");
  EXPECT_EQ(lines[1].line, -1);
}

}  // namespace
