// The browser's remote-control conversation: which windows a running
// browser has, what each one shows, and opening a URL in one of them.
//
// One Netscape exists per process, made by instance() on first use with the
// DDE client that setClientFactory() installed (the program installs its
// IPC-backed client at start-up) and deleted at exit by the static
// Netscape::Killer. Tests make their own with the public constructor. A
// Netscape without a client stands for a failed initialisation: every
// conversation then fails.
//
// Each operation opens its own conversation, makes one request with a
// time-out of kTimeoutMs, and closes the conversation before it returns, on
// every path. Everything runs on the user-interface thread. A client may
// dispatch window events while it waits for a reply; an operation started
// from such an event fails at once instead of closing the conversation the
// waiting one still uses.
#ifndef TESSAVO_VIEWERS_NETSCAPE_H_
#define TESSAVO_VIEWERS_NETSCAPE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "viewers/dde_client.h"

// One string handle of a DDE client, freed when the object goes.
class DdeString {
 public:
  // `client` may be null; the handle is then 0.
  DdeString(DdeClient* client, const std::string& text);
  virtual ~DdeString();
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;

  DdeClient::StringHandle handle() const { return handle_; }

 private:
  DdeClient* client_;
  DdeClient::StringHandle handle_;
};

class Netscape {
 public:
  // Browser kinds and the service each one answers under.
  static constexpr int kNone = 0;
  static constexpr int kNetscape = 1;  // service "Netscape"
  static constexpr int kExplorer = 2;  // service "IExplore"
  static constexpr int kTimeoutMs = 5000;

  // Deletes the one instance at program exit.
  class Killer {
   public:
    virtual ~Killer();
    Netscape* instance = nullptr;
  };

  using ClientFactory = std::function<std::unique_ptr<DdeClient>()>;

  // The factory instance() uses when it creates the one Netscape; a factory
  // that returns null, or none at all, gives a Netscape without a client.
  static void setClientFactory(ClientFactory factory);
  // The one Netscape of the process, created with kind kNone on first call.
  static Netscape* instance();

  explicit Netscape(std::unique_ptr<DdeClient> client);
  virtual ~Netscape();
  Netscape(const Netscape&) = delete;
  Netscape& operator=(const Netscape&) = delete;

  // Selects the service: kNetscape for "Netscape", any other non-zero kind
  // for "IExplore". With kNone no conversation can be opened.
  void setBrowser(int kind) { kind_ = kind; }
  int browser() const { return kind_; }

  // Opens a conversation on `topic` (ending any that is still open). False
  // without a client, with kind kNone, or when no server answers.
  bool connect(const std::string& topic);
  void disconnect();

  // Asks the browser to show `url` in `window` (topic "WWW_OpenURL"). True
  // when a reply came.
  bool openUrl(std::uint32_t window, const std::string& url);

  // The URL, the title and the third field of `window` (topic
  // "WWW_GetWindowInfo"). True when a reply came; otherwise the three
  // strings are left as they were.
  bool getWindowInfo(std::uint32_t window, std::string* url, std::string* title,
                     std::string* third);

  // The browser's windows in its order (topic "WWW_ListWindows"), skipping
  // 0xFFFFFFFF, into `windows`. Reading stops at a 0, at the end of the
  // reply, or after `capacity` values (skipped ones included). Returns how
  // many were stored; 0 when no conversation or no reply came.
  int listWindows(std::uint32_t* windows, int capacity);

 private:
  bool requestOnce(const std::string& topic, const std::string& item, std::string* reply);

  std::unique_ptr<DdeClient> client_;
  DdeClient::Conversation conversation_ = 0;
  int kind_ = kNone;
  bool busy_ = false;  // an operation is waiting for its reply
};

// Splits a "WWW_GetWindowInfo" reply into its three fields. Each field is
// either quoted with double or single quotes (taken up to the next same
// quote or the end; no escapes) or runs up to the next comma or the end,
// untrimmed. White space before a field and around the comma after it is
// skipped; a missing field is empty. The reply ends at its first NUL byte.
void parseWindowInfo(const std::string& reply, std::string* url, std::string* title,
                     std::string* third);

#endif  // TESSAVO_VIEWERS_NETSCAPE_H_
