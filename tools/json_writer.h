// Writes JSON text into a string, piece by piece, so that a long document
// can be sent on its way while it is being written.
//
// The writer places the commas and colons; the caller opens and closes
// objects and arrays in a proper nesting and gives a key before each value
// inside an object. Strings are written as UTF-8: the texts of this program
// are byte strings in its code page (UTF-8 on Linux), and a byte that
// begins no well-formed UTF-8 character (a file name in another encoding,
// say) is written as U+FFFD, so the output is valid JSON whatever the bytes.
// Control characters are escaped; nothing else is.
//
// A value; one thread at a time.
#ifndef TESSAVO_TOOLS_JSON_WRITER_H_
#define TESSAVO_TOOLS_JSON_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  void key(std::string_view name);
  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(std::int64_t number);
  void value(int number) { value(static_cast<std::int64_t>(number)); }
  void value(bool flag);
  void null();
  // A line break between two tokens, for readers who look at the text.
  void lineBreak() { text_ += '\n'; }

  // What was written since the last take().
  std::string take();

 private:
  void beforeValue();

  std::string text_;
  // One entry per open object or array: whether it holds a member yet.
  std::vector<bool> open_;
  bool afterKey_ = false;
};

// `text` as a JSON string, quotes included.
std::string jsonString(std::string_view text);

#endif  // TESSAVO_TOOLS_JSON_WRITER_H_
