// The browser command and the entries of its popup, without the window.
//
// open() carries out the command for one target: it keeps the target's
// location, and either hands it to the desktop's "open" (no browser chosen,
// or fewer than two browser windows answer) or lists the browser's windows
// and makes the entries of the popup that the frame then shows under its
// "閲覧" button. openEntry() carries out a chosen entry: it sends the kept
// location to the window listed at the entry's position.
//
// The frame owns one BrowserCommand for its lifetime; the location, the
// window table and the entries live from one open() to the next. Everything
// runs on the user-interface thread; a call made from an event dispatched
// while open() waits for the browser does nothing.
#ifndef TESSAVO_VIEWERS_BROWSER_COMMAND_H_
#define TESSAVO_VIEWERS_BROWSER_COMMAND_H_

#include <cstdint>
#include <string>
#include <vector>

#include "engine/check_target.h"
#include "viewers/netscape.h"
#include "viewers/process_starter.h"

// One entry of the browser popup.
struct BrowserMenuEntry {
  int command;        // ID_BROWSER_01 + position in the window table
  std::string label;  // the window's title, shortened to 50 bytes and "..."
};

class BrowserCommand {
 public:
  static constexpr int ID_BROWSER_01 = 32797;
  static constexpr int ID_BROWSER_10 = 32806;
  static constexpr int kMaxEntries = 10;
  static constexpr int kWindowTableSize = 100;
  static constexpr std::size_t kLabelBytes = 50;

  enum class Outcome {
    Nothing,      // no target, or called while the previous call still waits
    ShellOpened,  // the location went to the desktop's "open"
    ShowMenu,     // show menuEntries() as a popup; it may have no entries
  };

  // The command for `target`. `browserChoice` is the options dialog's index
  // (0 none); `netscape` may be null when no browser was ever chosen.
  // `failed` hears when the desktop's "open" cannot start.
  Outcome open(const CheckTarget* target, int browserChoice, Netscape* netscape,
               ShellOpener& shell, const StartFailure& failed = nullptr);

  // Carries out the entry `command` (ID_BROWSER_01 … ID_BROWSER_10) of the
  // last popup. False when nothing was sent: a command outside the last
  // listing, or a location with a scheme a browser is not given.
  bool openEntry(int command, Netscape* netscape) const;

  const std::vector<BrowserMenuEntry>& menuEntries() const { return entries_; }
  const std::string& location() const { return location_; }

 private:
  std::string location_;
  std::uint32_t windows_[kWindowTableSize] = {};
  int windowCount_ = 0;
  std::vector<BrowserMenuEntry> entries_;
  bool busy_ = false;  // open() is waiting for the browser
};

// The URL a browser is sent for `location`: unchanged for the schemes
// "http", "https" and "file" (in any letter case), "file:///" and the location for a local path (no
// scheme, or a one-letter scheme that is a drive letter). False for any
// other scheme.
bool browserUrlFor(const std::string& location, std::string* url);

// A window title as a popup label: unchanged up to kLabelBytes bytes,
// otherwise its first kLabelBytes bytes and "...", cut before a multibyte
// character that would not fit whole.
std::string browserMenuLabel(const std::string& title);

#endif  // TESSAVO_VIEWERS_BROWSER_COMMAND_H_
