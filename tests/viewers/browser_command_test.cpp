#include "viewers/browser_command.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/code_page_scope.h"
#include "tests/viewers/recording_starters.h"
#include "tests/viewers/scripted_dde_client.h"

namespace {

using Outcome = BrowserCommand::Outcome;

// A browser with the given windows; each window's information reply is
// given as text, and a window without one does not answer.
class BrowserCommandTest : public ::testing::Test {
 protected:
  BrowserCommandTest() {
    auto owned = std::make_unique<ScriptedDdeClient>();
    client_ = owned.get();
    netscape_ = std::make_unique<Netscape>(std::move(owned));
    netscape_->setBrowser(Netscape::kNetscape);
  }

  void listWindows(const std::vector<std::uint32_t>& windows) {
    std::vector<std::uint32_t> reply = windows;
    reply.push_back(0);
    client_->replies[{"WWW_ListWindows", "WWW_ListWindows"}] = listingReply(reply);
  }
  void windowInfo(const char* item, const std::string& reply) {
    client_->replies[{"WWW_GetWindowInfo", item}] = textReply(reply);
  }
  Outcome open(const CheckTarget& target, int browserChoice = 1) {
    return command_.open(&target, browserChoice, netscape_.get(), shell_);
  }
  std::vector<int> commands() const {
    std::vector<int> result;
    for (const BrowserMenuEntry& entry : command_.menuEntries()) result.push_back(entry.command);
    return result;
  }

  ScriptedDdeClient* client_;
  std::unique_ptr<Netscape> netscape_;
  RecordingShellOpener shell_;
  BrowserCommand command_;
  const CheckTarget http_{TargetKind::Http, "http://host/a.html"};
  const CheckTarget file_{TargetKind::File, "C:\\web\\a.html"};
};

TEST_F(BrowserCommandTest, WithoutBrowserTheShellOpensTheLocation) {
  EXPECT_EQ(open(http_, 0), Outcome::ShellOpened);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://host/a.html"});
  EXPECT_TRUE(client_->calls.empty());
  EXPECT_EQ(command_.location(), "http://host/a.html");
}

TEST_F(BrowserCommandTest, FewerThanTwoWindowsFallBackToTheShell) {
  client_->services.clear();  // configured but not running
  EXPECT_EQ(open(file_), Outcome::ShellOpened);
  client_->services = {"Netscape"};
  listWindows({0x11});
  EXPECT_EQ(open(http_), Outcome::ShellOpened);
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{"C:\\web\\a.html", "http://host/a.html"}));
  // The first listing found no browser; the second found one window and
  // asked nothing more.
  EXPECT_EQ(client_->requestedItems(), std::vector<std::string>{"WWW_ListWindows"});
}

TEST_F(BrowserCommandTest, NoTargetDoesNothing) {
  EXPECT_EQ(command_.open(nullptr, 1, netscape_.get(), shell_), Outcome::Nothing);
  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_TRUE(client_->calls.empty());
}

TEST_F(BrowserCommandTest, EntriesKeepTheirPositionAndShortenLongTitles) {
  const std::string sixty = std::string(50, 'T') + "0123456789";
  listWindows({0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
  windowInfo("0x00000011", "\"http://a/\",\"A\",\"\"");
  windowInfo("0x00000022", "\"http://b/\",\"" + sixty + "\",\"\"");
  windowInfo("0x00000033", "\"http://c/\",\"C\",\"\"");
  windowInfo("0x00000044", "\"http://d/\",\"Frame\",\"frame1\"");  // left out
  // 0x55 does not answer: it gets no entry, not the fields of 0x44.
  windowInfo("0x00000066", "\"http://f/\",\"F, with comma\",\"\"");

  EXPECT_EQ(open(http_), Outcome::ShowMenu);
  EXPECT_TRUE(shell_.opened.empty());
  EXPECT_EQ(commands(), (std::vector<int>{32797, 32798, 32799, 32802}));
  const auto& entries = command_.menuEntries();
  EXPECT_EQ(entries[0].label, "A");
  EXPECT_EQ(entries[1].label, std::string(50, 'T') + "...");
  EXPECT_EQ(entries[2].label, "C");
  EXPECT_EQ(entries[3].label, "F, with comma");
  EXPECT_EQ(client_->openConversations(), 0);
}

TEST_F(BrowserCommandTest, OnlyTheFirstTenWindowsAreAsked) {
  std::vector<std::uint32_t> twelve;
  for (std::uint32_t w = 1; w <= 12; ++w) {
    twelve.push_back(w);
    char item[16];
    std::snprintf(item, sizeof item, "0x%08x", w);
    windowInfo(item, "\"u\",\"w" + std::to_string(w) + "\",\"\"");
  }
  listWindows(twelve);
  EXPECT_EQ(open(http_), Outcome::ShowMenu);
  EXPECT_EQ(commands(), (std::vector<int>{32797, 32798, 32799, 32800, 32801, 32802, 32803, 32804,
                                          32805, 32806}));
  EXPECT_EQ(command_.menuEntries().back().label, "w10");
  EXPECT_EQ(client_->requestedItems().size(), 11u);  // the listing and ten windows
}

TEST_F(BrowserCommandTest, EveryWindowLeftOutGivesAnEmptyPopup) {
  listWindows({0x11, 0x22});
  windowInfo("0x00000011", "u,t,f1");
  windowInfo("0x00000022", "u,t,f2");
  EXPECT_EQ(open(http_), Outcome::ShowMenu);
  EXPECT_TRUE(command_.menuEntries().empty());
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(BrowserCommandTest, ChosenEntrySendsTheLocationToItsWindow) {
  struct Case {
    const char* location;
    TargetKind kind;
    const char* sent;  // null: nothing is sent
  };
  const Case cases[] = {
      {"C:\\web\\a.html", TargetKind::File, "file:///C:\\web\\a.html,,0x00000022,0x4"},
      {"http://host/a.html", TargetKind::Http, "http://host/a.html,,0x00000022,0x4"},
      {"file:///C:/web/a.html", TargetKind::File, "file:///C:/web/a.html,,0x00000022,0x4"},
      {"/home/u/a b.html", TargetKind::File, "file:////home/u/a b.html,,0x00000022,0x4"},
      {"a.html", TargetKind::File, "file:///a.html,,0x00000022,0x4"},
      {"https://host/a.html", TargetKind::Http, "https://host/a.html,,0x00000022,0x4"},
      {"HTTP://host/", TargetKind::Http, "HTTP://host/,,0x00000022,0x4"},  // any letter case
      {"ftp://host/a.html", TargetKind::File, nullptr},
      {"1:x", TargetKind::File, nullptr},  // one character, but no drive letter
  };
  for (const Case& c : cases) {
    client_->replies.clear();
    listWindows({0x11, 0x22});
    windowInfo("0x00000011", "u,a,");
    windowInfo("0x00000022", "u,b,");
    const CheckTarget target{c.kind, c.location};
    ASSERT_EQ(open(target), Outcome::ShowMenu);
    const std::size_t before = client_->requestedItems().size();
    EXPECT_EQ(command_.openEntry(32798, netscape_.get()), c.sent != nullptr) << c.location;
    const std::vector<std::string> items = client_->requestedItems();
    if (c.sent == nullptr) {
      EXPECT_EQ(items.size(), before) << c.location;
    } else {
      ASSERT_EQ(items.size(), before + 1) << c.location;
      EXPECT_EQ(items.back(), c.sent);
      EXPECT_EQ(client_->calls[client_->calls.size() - 3], "connect Netscape WWW_OpenURL");
    }
  }
}

TEST_F(BrowserCommandTest, EntriesOutsideTheLastListingSendNothing) {
  listWindows({0x11, 0x22});
  ASSERT_EQ(open(http_), Outcome::ShowMenu);
  const std::size_t before = client_->calls.size();
  EXPECT_FALSE(command_.openEntry(32799, netscape_.get()));
  EXPECT_FALSE(command_.openEntry(32796, netscape_.get()));
  EXPECT_FALSE(command_.openEntry(32807, netscape_.get()));
  EXPECT_FALSE(command_.openEntry(32797, nullptr));
  EXPECT_EQ(client_->calls.size(), before);
}

TEST_F(BrowserCommandTest, CommandsArrivingWhileTheBrowserIsAskedDoNothing) {
  listWindows({0x11, 0x22});
  windowInfo("0x00000011", "u,a,");
  windowInfo("0x00000022", "u,b,");
  Outcome nested = Outcome::ShowMenu;
  bool entrySent = true;
  client_->duringRequest = [&] {
    nested = open(file_);
    entrySent = command_.openEntry(32797, netscape_.get());
  };
  EXPECT_EQ(open(http_), Outcome::ShowMenu);
  EXPECT_EQ(nested, Outcome::Nothing);
  EXPECT_FALSE(entrySent);
  EXPECT_EQ(command_.location(), "http://host/a.html");
  EXPECT_EQ(command_.menuEntries().size(), 2u);
  EXPECT_TRUE(shell_.opened.empty());
}

TEST(BrowserMenuLabel, CutsAtFiftyBytesWithoutSplittingACharacter) {
  EXPECT_EQ(browserMenuLabel(std::string(50, 'x')), std::string(50, 'x'));
  EXPECT_EQ(browserMenuLabel(std::string(51, 'x')), std::string(50, 'x') + "...");
  EXPECT_EQ(browserMenuLabel(""), "");
  // 49 ASCII bytes, then a character of two (CP932) or three (UTF-8) bytes.
  const std::string head(49, 'x');
  {
    CodePageScope cp932(platform::CodePage::Cp932);
    EXPECT_EQ(browserMenuLabel(head + "\x88\x9F" + "tail"), head + "...");
    EXPECT_EQ(browserMenuLabel("y" + head + "\x88\x9F" + "tail"), "y" + head + "...");
    EXPECT_EQ(browserMenuLabel(head.substr(1) + "\x88\x9F" + "tail"),
              head.substr(1) + "\x88\x9F...");
  }
  {
    CodePageScope utf8(platform::CodePage::Utf8);
    EXPECT_EQ(browserMenuLabel(head + "\xE7\xAA\x93" + "tail"), head + "...");
    EXPECT_EQ(browserMenuLabel(head.substr(2) + "\xE7\xAA\x93" + "tail"),
              head.substr(2) + "\xE7\xAA\x93...");
  }
}

}  // namespace
