#include "viewers/netscape.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/viewers/scripted_dde_client.h"

namespace {

struct Browser {
  explicit Browser(int kind = Netscape::kNetscape) {
    auto owned = std::make_unique<ScriptedDdeClient>();
    client = owned.get();
    netscape = std::make_unique<Netscape>(std::move(owned));
    netscape->setBrowser(kind);
  }
  ScriptedDdeClient* client;
  std::unique_ptr<Netscape> netscape;
};

TEST(WindowInfoReply, Fields) {
  struct Case {
    std::string reply;
    const char* url;
    const char* title;
    const char* third;
  };
  const Case cases[] = {
      {"\"http://h/a.html\", \"Title, with comma\",\"\"", "http://h/a.html", "Title, with comma",
       ""},
      {"'http://h/' ,'It''s',x", "http://h/", "It", "s"},  // no escapes inside quotes
      {"\"u\",\"t\",\"frame\"", "u", "t", "frame"},
      {"u, t ,", "u", "t ", ""},  // unquoted fields keep their trailing blanks
      {"  \"u\"  ,\t\"t\"", "u", "t", ""},
      {"\"unterminated, title", "unterminated, title", "", ""},
      {"", "", "", ""},
      {std::string("\"u\",\"t\"\0,\"x\"", 12), "u", "t", ""},  // the reply ends at its NUL
      {"\"u\"x,\"t\"", "u", "x", "t"},  // text after a closing quote is the next field
  };
  for (const Case& c : cases) {
    std::string url = "old", title = "old", third = "old";
    parseWindowInfo(c.reply, &url, &title, &third);
    EXPECT_EQ(url, c.url) << c.reply;
    EXPECT_EQ(title, c.title) << c.reply;
    EXPECT_EQ(third, c.third) << c.reply;
  }
}

TEST(Netscape, ListingSkipsUnknownWindowsAndStopsAtZero) {
  struct Case {
    std::vector<std::uint32_t> reply;
    int capacity;
    std::vector<std::uint32_t> expected;
  };
  const Case cases[] = {
      {{0x11, 0xFFFFFFFF, 0x22, 0}, 100, {0x11, 0x22}},
      {{0x11, 0, 0x22}, 100, {0x11}},
      {{0x11, 0x22}, 100, {0x11, 0x22}},  // the reply may end without its 0
      {{0x11, 0x22, 0x33, 0}, 2, {0x11, 0x22}},
      {{0xFFFFFFFF, 0x11, 0x22, 0}, 2, {0x11}},  // skipped values count against the capacity
      {{0}, 100, {}},
      {{}, 100, {}},
  };
  for (const Case& c : cases) {
    Browser browser;
    browser.client->replies[{"WWW_ListWindows", "WWW_ListWindows"}] = listingReply(c.reply);
    std::vector<std::uint32_t> windows(100, 0xABABABAB);
    const int count = browser.netscape->listWindows(windows.data(), c.capacity);
    windows.resize(count);
    EXPECT_EQ(windows, c.expected);
    EXPECT_EQ(browser.client->calls,
              (std::vector<std::string>{"connect Netscape WWW_ListWindows",
                                        "request WWW_ListWindows 5000", "disconnect"}));
  }
}

TEST(Netscape, ListingIgnoresATrailingPartialValue) {
  Browser browser;
  browser.client->replies[{"WWW_ListWindows", "WWW_ListWindows"}] =
      listingReply({0x11}) + std::string("\x22\x00", 2);
  std::uint32_t windows[4] = {};
  EXPECT_EQ(browser.netscape->listWindows(windows, 4), 1);
  EXPECT_EQ(windows[0], 0x11u);
}

TEST(Netscape, EveryOperationClosesItsConversationAndHandles) {
  Browser browser(Netscape::kExplorer);
  browser.client->replies[{"WWW_GetWindowInfo", "0x00000011"}] = textReply("\"u\",\"t\",\"\"");
  browser.client->replies[{"WWW_OpenURL", "http://h/,,0x00000011,0x4"}] = listingReply({0x11});

  std::string url, title, third;
  EXPECT_TRUE(browser.netscape->getWindowInfo(0x11, &url, &title, &third));
  EXPECT_TRUE(browser.netscape->openUrl(0x11, "http://h/"));
  EXPECT_FALSE(browser.netscape->openUrl(0x22, "http://h/"));  // no reply
  std::uint32_t windows[2];
  EXPECT_EQ(browser.netscape->listWindows(windows, 2), 0);  // no reply

  EXPECT_EQ(
      browser.client->calls,
      (std::vector<std::string>{
          "connect IExplore WWW_GetWindowInfo", "request 0x00000011 5000", "disconnect",
          "connect IExplore WWW_OpenURL", "request http://h/,,0x00000011,0x4 5000", "disconnect",
          "connect IExplore WWW_OpenURL", "request http://h/,,0x00000022,0x4 5000", "disconnect",
          "connect IExplore WWW_ListWindows", "request WWW_ListWindows 5000", "disconnect"}));
  EXPECT_EQ(browser.client->openConversations(), 0);
  EXPECT_EQ(browser.client->openHandles(), 0);
}

TEST(Netscape, FailedWindowInfoLeavesTheFieldsAlone) {
  Browser browser;
  std::string url = "u", title = "t", third = "x";
  EXPECT_FALSE(browser.netscape->getWindowInfo(0xDEADBEEF, &url, &title, &third));
  EXPECT_EQ(browser.client->requestedItems(), std::vector<std::string>{"0xdeadbeef"});
  EXPECT_EQ(url + title + third, "utx");
}

TEST(Netscape, NoConversationWithoutKindClientOrServer) {
  {
    Browser browser(Netscape::kNone);
    EXPECT_FALSE(browser.netscape->connect("WWW_ListWindows"));
    EXPECT_TRUE(browser.client->calls.empty());
  }
  {
    Netscape withoutClient(nullptr);
    withoutClient.setBrowser(Netscape::kNetscape);
    std::uint32_t windows[2];
    EXPECT_EQ(withoutClient.listWindows(windows, 2), 0);
    EXPECT_FALSE(withoutClient.openUrl(1, "http://h/"));
  }
  {
    Browser browser;
    browser.client->services.clear();  // the browser is not running
    std::uint32_t windows[2];
    EXPECT_EQ(browser.netscape->listWindows(windows, 2), 0);
    EXPECT_EQ(browser.client->calls, std::vector<std::string>{"connect Netscape WWW_ListWindows"});
    EXPECT_EQ(browser.client->openHandles(), 0);
  }
}

TEST(Netscape, OperationStartedWhileWaitingFailsWithoutDisturbingTheWaitingOne) {
  Browser browser;
  browser.client->replies[{"WWW_ListWindows", "WWW_ListWindows"}] = listingReply({0x11, 0x22, 0});
  int nestedResult = -1;
  browser.client->duringRequest = [&] {
    std::uint32_t windows[4];
    nestedResult = browser.netscape->listWindows(windows, 4);
  };
  std::uint32_t windows[4];
  EXPECT_EQ(browser.netscape->listWindows(windows, 4), 2);
  EXPECT_EQ(nestedResult, 0);
  EXPECT_EQ(browser.client->calls,
            (std::vector<std::string>{"connect Netscape WWW_ListWindows",
                                      "request WWW_ListWindows 5000", "disconnect"}));
}

TEST(Netscape, InstanceIsMadeOnceWithTheInstalledFactory) {
  int made = 0;
  Netscape::setClientFactory([&made] {
    ++made;
    return std::make_unique<ScriptedDdeClient>();
  });
  Netscape* first = Netscape::instance();
  EXPECT_EQ(Netscape::instance(), first);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(first->browser(), Netscape::kNone);
  first->setBrowser(Netscape::kNetscape);
  std::uint32_t windows[2];
  EXPECT_EQ(first->listWindows(windows, 2), 0);  // the scripted client has no listing
  Netscape::setClientFactory(nullptr);
}

}  // namespace
