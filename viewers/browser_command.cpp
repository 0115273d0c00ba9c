#include "viewers/browser_command.h"

#include "net/uri.h"
#include "platform/code_page.h"

BrowserCommand::Outcome BrowserCommand::open(const CheckTarget* target, int browserChoice,
                                             Netscape* netscape, ShellOpener& shell,
                                             const StartFailure& failed) {
  if (target == nullptr || busy_) return Outcome::Nothing;
  location_ = target->location;
  if (browserChoice == 0 || netscape == nullptr) {
    shell.open(location_, failed);
    return Outcome::ShellOpened;
  }
  busy_ = true;
  windowCount_ = netscape->listWindows(windows_, kWindowTableSize);
  entries_.clear();  // they named positions of the previous listing
  if (windowCount_ < 2) {
    busy_ = false;
    shell.open(location_, failed);
    return Outcome::ShellOpened;
  }
  for (int i = 0; i < windowCount_ && i < kMaxEntries; ++i) {
    // A window that does not answer gets no entry; its number stays a gap.
    std::string url, title, third;
    if (!netscape->getWindowInfo(windows_[i], &url, &title, &third)) continue;
    if (!third.empty()) continue;
    entries_.push_back({ID_BROWSER_01 + i, browserMenuLabel(title)});
  }
  busy_ = false;
  return Outcome::ShowMenu;
}

bool BrowserCommand::openEntry(int command, Netscape* netscape) const {
  const int position = command - ID_BROWSER_01;
  if (busy_ || netscape == nullptr || position < 0 || position >= kMaxEntries ||
      position >= windowCount_) {
    return false;
  }
  std::string url;
  if (!browserUrlFor(location_, &url)) return false;
  netscape->openUrl(windows_[position], url);
  return true;
}

bool browserUrlFor(const std::string& location, std::string* url) {
  const URI uri(location);
  const std::string scheme = uri.scheme();
  if (uri.schemeIs("http") || uri.schemeIs("https") || uri.schemeIs("file")) {
    *url = location;
    return true;
  }
  // A path such as C:\web\a.html parses with the drive letter as its scheme.
  const bool driveLetter = scheme.size() == 1 && ((scheme[0] >= 'A' && scheme[0] <= 'Z') ||
                                                  (scheme[0] >= 'a' && scheme[0] <= 'z'));
  if (scheme.empty() || driveLetter) {
    *url = "file:///" + location;
    return true;
  }
  return false;
}

std::string browserMenuLabel(const std::string& title) {
  constexpr std::size_t kLabelBytes = BrowserCommand::kLabelBytes;
  if (title.size() <= kLabelBytes) return title;
  const char* const start = title.c_str();
  const char* cut = start;
  while (true) {
    const char* next = platform::CharNextA(cut);
    if (next == cut || next - start > static_cast<long>(kLabelBytes)) break;
    cut = next;
  }
  return std::string(start, cut) + "...";
}
