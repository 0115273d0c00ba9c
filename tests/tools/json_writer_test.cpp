// The checker's JSON writer, read back by an independent JSON reader.
#include "tools/json_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

TEST(JsonWriter, StringsAreValidJsonWhateverTheBytes) {
  const struct {
    std::string text;
    std::string written;  // between the quotes
    std::string read;     // as a reader gives it back
  } cases[] = {
      {"plain", "plain", "plain"},
      {"\"quoted\" \\ back", "\\\"quoted\\\" \\\\ back", "\"quoted\" \\ back"},
      {"tab\tline\nreturn\r", "tab\\tline\\nreturn\\r", "tab\tline\nreturn\r"},
      {std::string("nul\0bell\x07 esc\x1b del\x7f", 19), "nul\\u0000bell\\u0007 esc\\u001b del\x7f",
       std::string("nul\0bell\x07 esc\x1b del\x7f", 19)},
      {"検査終了 \xF0\x9F\x98\x80", "検査終了 \xF0\x9F\x98\x80", "検査終了 \xF0\x9F\x98\x80"},
      // Bytes of another encoding, a stray continuation byte, a character
      // cut short, an overlong form and a surrogate: each byte that begins
      // no character becomes U+FFFD.
      {"\xE9t\xE9", "\xEF\xBF\xBDt\xEF\xBF\xBD", "\xEF\xBF\xBDt\xEF\xBF\xBD"},
      {"a\x80z", "a\xEF\xBF\xBDz", "a\xEF\xBF\xBDz"},
      {"cut \xE3\x81", "cut \xEF\xBF\xBD\xEF\xBF\xBD", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const std::string written = jsonString(c.text);
    EXPECT_EQ(written, "\"" + c.written + "\"") << c.text;
    EXPECT_EQ(nlohmann::json::parse(written).get<std::string>(), c.read) << c.text;
  }
}

TEST(JsonWriter, PlacesCommasAndColonsInEveryNesting) {
  JsonWriter json;
  json.beginObject();
  json.key("empty object");
  json.beginObject();
  json.endObject();
  json.key("empty array");
  json.beginArray();
  json.endArray();
  json.key("values");
  json.beginArray();
  json.value("text");
  json.value(-42);
  json.value(static_cast<std::int64_t>(1) << 40);
  json.value(true);
  json.value(false);
  json.null();
  json.lineBreak();
  json.beginObject();
  json.key("a");
  json.beginArray();
  json.beginArray();
  json.endArray();
  json.value(1);
  json.endArray();
  json.endObject();
  json.endArray();
  std::string first = json.take();
  json.key("last");
  json.value("x");
  json.endObject();
  const std::string text = first + json.take();
  EXPECT_EQ(text,
            "{\"empty object\":{},\"empty array\":[],\"values\":[\"text\",-42,1099511627776,true,"
            "false,null\n,{\"a\":[[],1]}],\"last\":\"x\"}");
  const nlohmann::json read = nlohmann::json::parse(text);
  EXPECT_EQ(read["values"].size(), 7u);
  EXPECT_EQ(read["values"][6]["a"][1], 1);
  EXPECT_EQ(json.take(), "");
}

}  // namespace
