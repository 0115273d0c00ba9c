// The client side of a dynamic-data-exchange library, as far as the browser
// command uses it: string handles, conversations with a service on a topic,
// and synchronous requests for an item.
//
// An implementation stands for one initialised client instance; destroying
// it uninitialises. Handles and conversations are non-zero numbers that the
// implementation hands out and that stay valid until freed or disconnected.
// All calls come from the user-interface thread.
#ifndef TESSAVO_VIEWERS_DDE_CLIENT_H_
#define TESSAVO_VIEWERS_DDE_CLIENT_H_

#include <cstdint>
#include <string>

class DdeClient {
 public:
  using StringHandle = std::uint32_t;  // 0: none
  using Conversation = std::uint32_t;  // 0: none

  virtual ~DdeClient() = default;

  // A handle for `text` (bytes in the program's code page); 0 on failure.
  virtual StringHandle createStringHandle(const std::string& text) = 0;
  virtual void freeStringHandle(StringHandle handle) = 0;

  // Opens a conversation with the server that offers `service` on `topic`;
  // 0 when none answers or the server refuses.
  virtual Conversation connect(StringHandle service, StringHandle topic) = 0;
  // Ends a conversation; 0 and unknown conversations are ignored.
  virtual void disconnect(Conversation conversation) = 0;

  // One request for `item` in the text format, without data, waiting at
  // most `timeoutMs` for the reply. On success `reply` holds the reply's
  // bytes exactly as sent (a text reply includes its terminating NUL when
  // the server sent one); on failure it is left alone.
  virtual bool request(Conversation conversation, StringHandle item, int timeoutMs,
                       std::string* reply) = 0;
};

#endif  // TESSAVO_VIEWERS_DDE_CLIENT_H_
