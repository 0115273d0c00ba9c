// The browser command through the real IPC stand-in, against a browser that
// runs as its own process (dde_browser_standin).
#include "ui/ipc/wx_dde_client.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/temp_files.h"
#include "tests/viewers/recording_starters.h"
#include "viewers/browser_command.h"

namespace {

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : bytes) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

std::string listing(const std::vector<std::uint32_t>& values) {
  return std::string(reinterpret_cast<const char*>(values.data()),
                     values.size() * sizeof(std::uint32_t));
}

// A folder of its own for the sockets of one test, removed afterwards.
class SocketFolder {
 public:
  SocketFolder() {
    const std::string file = platform::createUniqueFile(platform::tempFolder(), "ddetest");
    path_ = file + ".d/";
    std::filesystem::create_directory(path_);
    std::filesystem::remove(file);
  }
  ~SocketFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A running browser stand-in answering from `answers` as `service`. Its
// report is read when it has ended.
class StandInBrowser {
 public:
  StandInBrowser(const SocketFolder& folder, const std::string& service,
                 const std::vector<std::string>& answers)
      : socket_(folder.path() + "tessavo-dde-" + service) {
    const std::string table = folder.path() + service + ".table";
    std::ofstream(table) << [&answers] {
      std::string text;
      for (const std::string& line : answers) text += line + "\n";
      return text;
    }();
    const std::string command = "'" TESSAVO_DDE_STANDIN "' '" + socket_ + "' '" + table + "'";
    output_ = popen(command.c_str(), "r");
    char line[64] = {};
    ready_ = output_ != nullptr && std::fgets(line, sizeof line, output_) != nullptr &&
             std::string(line) == "ready\n";
  }

  ~StandInBrowser() { stop(); }

  bool ready() const { return ready_; }

  // Ends the browser and returns what it reported, one entry per line.
  std::vector<std::string> stop() {
    if (output_ == nullptr) return report_;
    std::string reply;
    ipcRequest(socket_, "control", "quit", 5000, &reply);
    char line[4096];
    while (std::fgets(line, sizeof line, output_) != nullptr) {
      std::string text(line);
      if (!text.empty() && text.back() == '\n') text.pop_back();
      if (text != "CONNECT\tcontrol") report_.push_back(text);
    }
    pclose(output_);
    output_ = nullptr;
    return report_;
  }

 private:
  std::string socket_;
  FILE* output_ = nullptr;
  bool ready_ = false;
  std::vector<std::string> report_;
};

std::string answer(const std::string& topic, const std::string& item, const std::string& reply) {
  return topic + "\t" + item + "\thex:" + hex(reply);
}

std::string info(const char* window, const std::string& text) {
  return answer("WWW_GetWindowInfo", window, text + std::string(1, '\0'));
}

class WxDdeClientTest : public ::testing::Test {
 protected:
  // An application object as in the program: wx then defers deleting a
  // closed socket instead of deleting it under its own streams.
  static void SetUpTestSuite() {
    wxAppConsole::SetInstance(new wxAppConsole);
    initializer_ = new wxInitializer;
  }
  static void TearDownTestSuite() {
    delete initializer_;
    initializer_ = nullptr;
  }

  std::unique_ptr<Netscape> browser(int kind) {
    auto netscape = std::make_unique<Netscape>(std::make_unique<WxDdeClient>(folder_.path()));
    netscape->setBrowser(kind);
    return netscape;
  }

  static wxInitializer* initializer_;
  SocketFolder folder_;
  RecordingShellOpener shell_;
  BrowserCommand command_;
};

wxInitializer* WxDdeClientTest::initializer_ = nullptr;

TEST_F(WxDdeClientTest, NothingListeningFallsBackToTheShell) {
  ASSERT_TRUE(initializer_->IsOk());
  auto netscape = browser(Netscape::kNetscape);
  const CheckTarget target{TargetKind::Http, "http://host/a.html"};
  EXPECT_EQ(command_.open(&target, 1, netscape.get(), shell_),
            BrowserCommand::Outcome::ShellOpened);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://host/a.html"});
}

TEST_F(WxDdeClientTest, OnlyTheChosenServiceIsAsked) {
  StandInBrowser navigator(folder_, "Netscape",
                           {answer("WWW_ListWindows", "WWW_ListWindows", listing({1, 2, 0}))});
  ASSERT_TRUE(navigator.ready());
  auto explorer = browser(Netscape::kExplorer);
  const CheckTarget target{TargetKind::File, "C:\\web\\a.html"};
  EXPECT_EQ(command_.open(&target, 2, explorer.get(), shell_),
            BrowserCommand::Outcome::ShellOpened);
  EXPECT_TRUE(navigator.stop().empty());
}

TEST_F(WxDdeClientTest, PopupAndChosenEntryThroughTheBrowser) {
  const std::string sixty(60, 'T');
  StandInBrowser navigator(folder_, "Netscape",
                           {answer("WWW_ListWindows", "WWW_ListWindows",
                                   listing({0x11, 0xFFFFFFFF, 0x22, 0x33, 0x44, 0x55, 0})),
                            info("0x00000011", "\"http://a/\", \"A\",\"\""),
                            info("0x00000022", "\"http://b/\",\"" + sixty + "\",\"\""),
                            info("0x00000033", "\"http://c/\",\"Frames\",\"frame\""),
                            // 0x44 does not answer.
                            info("0x00000055", "\"http://e/\", \"Title, with comma\", \"\""),
                            answer("WWW_OpenURL", "*", listing({0x11}))});
  ASSERT_TRUE(navigator.ready());
  auto netscape = browser(Netscape::kNetscape);

  const CheckTarget file{TargetKind::File, "C:\\web\\a.html"};
  ASSERT_EQ(command_.open(&file, 1, netscape.get(), shell_), BrowserCommand::Outcome::ShowMenu);
  const auto& entries = command_.menuEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].command, 32797);
  EXPECT_EQ(entries[0].label, "A");
  EXPECT_EQ(entries[1].command, 32798);
  EXPECT_EQ(entries[1].label, std::string(50, 'T') + "...");
  EXPECT_EQ(entries[2].command, 32801);
  EXPECT_EQ(entries[2].label, "Title, with comma");
  EXPECT_TRUE(command_.openEntry(32797, netscape.get()));

  const CheckTarget http{TargetKind::Http, "http://host/a.html"};
  ASSERT_EQ(command_.open(&http, 1, netscape.get(), shell_), BrowserCommand::Outcome::ShowMenu);
  EXPECT_TRUE(command_.openEntry(32797, netscape.get()));
  EXPECT_TRUE(shell_.opened.empty());

  std::vector<std::string> expected;
  for (int run = 0; run < 2; ++run) {
    expected.insert(expected.end(),
                    {"CONNECT\tWWW_ListWindows", "REQUEST\tWWW_ListWindows\tWWW_ListWindows"});
    for (const char* window :
         {"0x00000011", "0x00000022", "0x00000033", "0x00000044", "0x00000055"}) {
      expected.push_back("CONNECT\tWWW_GetWindowInfo");
      expected.push_back(std::string("REQUEST\tWWW_GetWindowInfo\t") + window);
    }
    expected.push_back("CONNECT\tWWW_OpenURL");
    expected.push_back(run == 0 ? "REQUEST\tWWW_OpenURL\tfile:///C:\\web\\a.html,,0x00000011,0x4"
                                : "REQUEST\tWWW_OpenURL\thttp://host/a.html,,0x00000011,0x4");
  }
  EXPECT_EQ(navigator.stop(), expected);
}

TEST_F(WxDdeClientTest, TwelveWindowsGiveTenEntries) {
  std::vector<std::uint32_t> windows;
  std::vector<std::string> answers;
  for (std::uint32_t w = 1; w <= 12; ++w) windows.push_back(w);
  windows.push_back(0);
  answers.push_back(answer("WWW_ListWindows", "WWW_ListWindows", listing(windows)));
  answers.push_back(answer("WWW_GetWindowInfo", "*", std::string("u,t,") + '\0'));
  StandInBrowser navigator(folder_, "IExplore", answers);
  ASSERT_TRUE(navigator.ready());
  auto explorer = browser(Netscape::kExplorer);
  const CheckTarget target{TargetKind::Http, "http://host/"};
  ASSERT_EQ(command_.open(&target, 2, explorer.get(), shell_), BrowserCommand::Outcome::ShowMenu);
  ASSERT_EQ(command_.menuEntries().size(), 10u);
  EXPECT_EQ(command_.menuEntries().back().command, 32806);
  EXPECT_EQ(navigator.stop().size(), 2u + 2u * 10u);
}

TEST_F(WxDdeClientTest, ARequestWaitsNoLongerThanItsTimeOut) {
  // The browser keeps the request four times as long as the time-out before
  // it fails it: a request that comes back earlier gave up by itself.
  constexpr auto kTimeOut = std::chrono::milliseconds(1000);
  constexpr auto kStall = 4 * kTimeOut;
  StandInBrowser navigator(folder_, "Netscape",
                           {"WWW_GetWindowInfo\t*\tstall:" + std::to_string(kStall.count())});
  ASSERT_TRUE(navigator.ready());
  IpcConversation conversation(folder_.path() + "tessavo-dde-Netscape", "WWW_GetWindowInfo");
  ASSERT_TRUE(conversation.isOpen());
  std::string reply = "untouched";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(conversation.request("0x00000001", static_cast<int>(kTimeOut.count()), &reply));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(reply, "untouched");
  // Not cut short (the clock may round a little), and not waiting for the
  // browser's own failure either.
  EXPECT_GE(waited, kTimeOut - std::chrono::milliseconds(100));
  EXPECT_LT(waited, kStall) << "the request waited for the browser, not for its time-out";
}

TEST_F(WxDdeClientTest, ABrowserThatVanishesMidConversationFailsTheRequest) {
  StandInBrowser navigator(folder_, "Netscape", {"WWW_ListWindows\t*\tvanish:"});
  ASSERT_TRUE(navigator.ready());
  auto netscape = browser(Netscape::kNetscape);
  const CheckTarget target{TargetKind::Http, "http://host/a.html"};
  EXPECT_EQ(command_.open(&target, 1, netscape.get(), shell_),
            BrowserCommand::Outcome::ShellOpened);
  // A second conversation finds nobody listening.
  EXPECT_EQ(command_.open(&target, 1, netscape.get(), shell_),
            BrowserCommand::Outcome::ShellOpened);
  EXPECT_EQ(navigator.stop(),
            (std::vector<std::string>{"CONNECT\tWWW_ListWindows",
                                      "REQUEST\tWWW_ListWindows\tWWW_ListWindows"}));
}

TEST_F(WxDdeClientTest, PeerClosingWhileEventsAreDispatchedLeavesTheConversationToItsOwner) {
  StandInBrowser navigator(folder_, "Netscape", {"WWW_ListWindows\t*\tvanish:"});
  ASSERT_TRUE(navigator.ready());
  {
    IpcConversation conversation(folder_.path() + "tessavo-dde-Netscape", "WWW_ListWindows");
    ASSERT_TRUE(conversation.isOpen());
    std::string reply;
    EXPECT_FALSE(conversation.request("WWW_ListWindows", 5000, &reply));
    // wx's event handling learns that the peer has gone, as a window's event
    // loop would while the next request waits.
    wxConsoleEventLoop loop;
    wxEventLoopActivator activate(&loop);
    for (int i = 0; i < 5; ++i) {
      loop.DispatchTimeout(20);
      wxAppConsole::GetInstance()->ProcessPendingEvents();
    }
    EXPECT_FALSE(conversation.request("WWW_ListWindows", 5000, &reply));
  }
  navigator.stop();
}

TEST_F(WxDdeClientTest, InstalledClientServesTheProcessWideInstance) {
  installWxDdeClient();
  Netscape* netscape = Netscape::instance();
  netscape->setBrowser(Netscape::kNetscape);
  // The per-user folder has no browser socket on a test machine.
  std::uint32_t windows[4];
  EXPECT_EQ(netscape->listWindows(windows, 4), 0);
  Netscape::setClientFactory(nullptr);
}

}  // namespace
