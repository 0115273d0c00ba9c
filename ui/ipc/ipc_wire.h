// The messages of wx's IPC protocol as our conversations speak it on a
// Unix-domain socket, written and read without wx, with every length
// bounded.
//
// A message is a one-byte code and its fields: a text is a 32-bit
// little-endian length and that many bytes of UTF-8, data the same with raw
// bytes, a format one byte. Texts here are byte strings; each byte travels
// as the UTF-8 form of the character of the same value (what wx makes of a
// string built from 8-bit data), so any byte string crosses unchanged, and a
// wx peer on the other end reads and writes the same messages.
//
// The readers take what has arrived so far and say whether a whole message
// is there. A field that claims more than kMaxFieldBytes is refused at once,
// before anything is kept for it: a path fits many times over, and a peer
// that claims gigabytes gets nothing allocated.
//
// Free functions over byte strings; any thread.
#ifndef TESSAVO_UI_IPC_IPC_WIRE_H_
#define TESSAVO_UI_IPC_IPC_WIRE_H_

#include <cstddef>
#include <string>

namespace ipc_wire {

enum Code : unsigned char {
  kRequest = 2,
  kRequestReply = 8,
  kFail = 9,
  kConnect = 10,
  kDisconnect = 11,
};

// wx's format code of text, which our requests name.
constexpr unsigned char kTextFormat = 1;

constexpr std::size_t kMaxFieldBytes = 64 * 1024;

enum class Parse { Complete, Incomplete, Bad };

// What a client sends: the opening (kConnect with its topic), a request
// (kRequest with its item) or the goodbye (kDisconnect, no text).
struct ClientMessage {
  Code code = kDisconnect;
  std::string text;
};

std::string connectMessage(const std::string& topic);
std::string requestMessage(const std::string& item);
std::string disconnectMessage();
// The server's answer to a request: the reply's bytes, or a failure.
std::string replyMessage(const std::string& reply);
std::string failMessage();

// Reads the client message at the start of `input`. Complete: `message` is
// set and `*consumed` bytes belong to it. Bad: a code we do not take, a
// length over the bound, or a text that is not what texts are made of here.
Parse readClientMessage(const std::string& input, ClientMessage* message, std::size_t* consumed);

// Reads the server's answer to a request at the start of `input`. Complete
// with `*ok` false for a failure; with `*ok` true and the reply's bytes.
Parse readReply(const std::string& input, bool* ok, std::string* reply);

}  // namespace ipc_wire

#endif  // TESSAVO_UI_IPC_IPC_WIRE_H_
