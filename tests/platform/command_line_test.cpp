#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/code_page_scope.h"

namespace {

using platform::splitCommandLine;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheCRuntimeRules) {
  struct Case {
    const char* line;
    Args arguments;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"prog", {"prog"}},
      {"  prog  a\tb  ", {"prog", "a", "b"}},
      // The program name: quotes group and vanish, backslashes stay.
      {"\"C:\\SP\\bin\\nsgmls.exe\" -s", {"C:\\SP\\bin\\nsgmls.exe", "-s"}},
      {"\"/opt/my tools/v\" x", {"/opt/my tools/v", "x"}},
      {"a\\\"b c", {"a\\b c"}},  // no escapes in the program name
      {"\"\" x", {"", "x"}},
      // Further arguments.
      {"p \"a b\" c", {"p", "a b", "c"}},
      {"p a\"b c\"d", {"p", "ab cd"}},
      {"p \"\"", {"p", ""}},
      {"p a\\\\b", {"p", "a\\\\b"}},           // backslashes not before a quote
      {"p a\\\"b", {"p", "a\"b"}},             // 1 backslash + quote: literal quote
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},     // 2 + quote: one backslash, quote groups
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},       // 3 + quote: one backslash, literal quote
      {"p \"a\"\"b\" c", {"p", "a\"b", "c"}},  // "" in a group: literal, group goes on
      {"p \"a\"\"b c\"", {"p", "a\"b c"}},
      {"p \"unterminated group", {"p", "unterminated group"}},
      {"p -c\"/x/catalog\" -f\"/t/$error.out\" -s \"/d/$conv.sgml\"",
       {"p", "-c/x/catalog", "-f/t/$error.out", "-s", "/d/$conv.sgml"}},
      {"p \"C:\\dir\\\\\" next", {"p", "C:\\dir\\", "next"}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
}

TEST(QuotedArgumentText, RoundTripsThroughTheSplit) {
  const char* cases[] = {"/plain/path", "C:\\dir\\a.htm", "a\"b", "a\\\"b",
                         "end\\",       "end\\\\",        "",     "  blanks  ",
                         "\"\"",        "tab\there"};
  for (const char* argument : cases) {
    const std::string line = "p -x\"" + platform::quotedArgumentText(argument) + "\" \"" +
                             platform::quotedArgumentText(argument) + "\"";
    EXPECT_EQ(splitCommandLine(line), (Args{"p", std::string("-x") + argument, argument})) << line;
  }
  EXPECT_EQ(platform::quotedArgumentText("C:\\TEMP\\$error.out"), "C:\\TEMP\\$error.out");
}

TEST(QuoteArgument, QuotesOnlyWhatNeedsItAndRoundTrips) {
  const struct {
    const char* argument;
    const char* quoted;
  } cases[] = {
      {"http://host/a.html", "http://host/a.html"},
      {"C:\\web\\a.html", "C:\\web\\a.html"},
      {"a b", "\"a b\""},
      {"", "\"\""},
      {"tab\there", "\"tab\there\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\my web\\", "\"C:\\my web\\\\\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::quoteArgument(c.argument), c.quoted) << c.argument;
    EXPECT_EQ(splitCommandLine("p " + platform::quoteArgument(c.argument)), (Args{"p", c.argument}))
        << c.argument;
  }
}

// Under CP932 a trail byte 0x5C ("表" 95 5C, "ソ" 83 5C) is no backslash:
// it neither escapes a quote when split nor is doubled when quoted.
TEST(CommandLine, Cp932TrailBytesAreNoBackslashes) {
  CodePageScope cp932(platform::CodePage::Cp932);
  EXPECT_EQ(splitCommandLine("p \"C:\\\x95\x5C\" \"my \x83\x5C\\\\\" x"),
            (Args{"p", "C:\\\x95\x5C", "my \x83\x5C\\", "x"}));
  for (const std::string argument : {"C:\\my docs\\\x95\x5C", "a \x83\x5C\"b", "\x95\x5C\\"}) {
    EXPECT_EQ(splitCommandLine("p " + platform::quoteArgument(argument)), (Args{"p", argument}))
        << platform::quoteArgument(argument);
  }
  EXPECT_EQ(platform::quoteArgument("my \x95\x5C"), "\"my \x95\x5C\"");
}

}  // namespace
