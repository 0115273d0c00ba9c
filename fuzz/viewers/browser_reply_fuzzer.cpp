// Browser replies are outside input: the window listing and the window
// information text, and the title that becomes a popup label.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/code_page.h"
#include "viewers/browser_command.h"
#include "viewers/netscape.h"

namespace {

// Answers every request with the fuzzer's bytes.
class EchoClient : public DdeClient {
 public:
  explicit EchoClient(std::string reply) : reply_(std::move(reply)) {}
  StringHandle createStringHandle(const std::string&) override { return 1; }
  void freeStringHandle(StringHandle) override {}
  Conversation connect(StringHandle, StringHandle) override { return 1; }
  void disconnect(Conversation) override {}
  bool request(Conversation, StringHandle, int, std::string* reply) override {
    *reply = reply_;
    return true;
  }

 private:
  std::string reply_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  Netscape netscape(std::make_unique<EchoClient>(reply));
  netscape.setBrowser(Netscape::kNetscape);
  std::uint32_t windows[BrowserCommand::kWindowTableSize];
  if (netscape.listWindows(windows, BrowserCommand::kWindowTableSize) >
      BrowserCommand::kWindowTableSize) {
    __builtin_trap();
  }
  for (const auto codePage : {platform::CodePage::Utf8, platform::CodePage::Cp932}) {
    platform::setCodePage(codePage);
    std::string url, title, third;
    parseWindowInfo(reply, &url, &title, &third);
    const std::string label = browserMenuLabel(title);
    if (label.size() > BrowserCommand::kLabelBytes + 3) __builtin_trap();
  }
  platform::setCodePage(platform::CodePage::Utf8);
  return 0;
}
