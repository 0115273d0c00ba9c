// tessavo-check's command line, read into options.
#include "tools/checker_options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> words(const std::string& text) {
  std::istringstream input(text);
  std::vector<std::string> result;
  for (std::string word; input >> word;) result.push_back(word);
  return result;
}

TEST(CheckerOptions, ReadsEveryFormOfEachOption) {
  const struct {
    const char* line;
    OutputFormat format;
    int jobs;       // 0: not given
    int maxErrors;  // -1: not given
    bool warningsAreErrors;
    const char* validator;  // "" : not given
    const char* targets;
  } cases[] = {
      {"a.htm", OutputFormat::Text, 0, -1, false, "", "a.htm"},
      {"--format gnu a.htm", OutputFormat::Gnu, 0, -1, false, "", "a.htm"},
      {"--format=json a.htm b", OutputFormat::Json, 0, -1, false, "", "a.htm b"},
      {"--format json --format text a", OutputFormat::Text, 0, -1, false, "", "a"},
      {"-j 4 a", OutputFormat::Text, 4, -1, false, "", "a"},
      {"-j8 a", OutputFormat::Text, 8, -1, false, "", "a"},
      {"--jobs 1 a", OutputFormat::Text, 1, -1, false, "", "a"},
      {"--jobs=256 a", OutputFormat::Text, 256, -1, false, "", "a"},
      {"--max-errors 0 a", OutputFormat::Text, 0, 0, false, "", "a"},
      {"--max-errors=1000 a", OutputFormat::Text, 0, 1000, false, "", "a"},
      {"--warnings-are-errors a", OutputFormat::Text, 0, -1, true, "", "a"},
      {"--validator /v a", OutputFormat::Text, 0, -1, false, "/v", "a"},
      {"--validator=/w a", OutputFormat::Text, 0, -1, false, "/w", "a"},
      {"a -j 2 b", OutputFormat::Text, 2, -1, false, "", "a b"},
      {"-- -j 2", OutputFormat::Text, 0, -1, false, "", "-j 2"},
      {"- --format gnu", OutputFormat::Gnu, 0, -1, false, "", "-"},
  };
  for (const auto& c : cases) {
    CheckerOptions options;
    std::string error;
    ASSERT_TRUE(parseCheckerOptions(words(c.line), options, error)) << c.line << ": " << error;
    EXPECT_EQ(options.format, c.format) << c.line;
    EXPECT_EQ(options.jobs.value_or(0), c.jobs) << c.line;
    EXPECT_EQ(options.maxErrors.value_or(-1), c.maxErrors) << c.line;
    EXPECT_EQ(options.warningsAreErrors, c.warningsAreErrors) << c.line;
    EXPECT_EQ(options.validator.value_or(""), c.validator) << c.line;
    EXPECT_EQ(options.targets, words(c.targets)) << c.line;
    EXPECT_FALSE(options.help);
  }
}

TEST(CheckerOptions, RefusesWhatCannotBeUsedAndSaysWhy) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"--format xml a", "--format takes text, gnu or json, not \"xml\""},
      {"--format", "option --format needs a value"},
      {"-j 0 a", "-j takes a number from 1 to 256, not \"0\""},
      {"--jobs 257 a", "--jobs takes a number from 1 to 256, not \"257\""},
      {"-jx a", "-j takes a number from 1 to 256, not \"x\""},
      {"-j -1 a", "-j takes a number from 1 to 256, not \"-1\""},
      {"--jobs= a", "--jobs takes a number from 1 to 256, not \"\""},
      {"--max-errors -5 a", "--max-errors takes a whole number, 0 for no limit, not \"-5\""},
      {"--max-errors 1e3 a", "--max-errors takes a whole number, 0 for no limit, not \"1e3\""},
      {"--max-errors 9999999999 a",
       "--max-errors takes a whole number, 0 for no limit, not \"9999999999\""},
      {"--validator", "option --validator needs a value"},
      {"--no-such a", "unknown option --no-such"},
      {"-x a", "unknown option -x"},
      {"--warnings-are-errors=yes a", "unknown option --warnings-are-errors=yes"},
  };
  for (const auto& c : cases) {
    CheckerOptions options;
    std::string error;
    EXPECT_FALSE(parseCheckerOptions(words(c.line), options, error)) << c.line;
    EXPECT_EQ(error, c.error) << c.line;
  }
  CheckerOptions help;
  std::string error;
  EXPECT_TRUE(parseCheckerOptions(words("a --help"), help, error));
  EXPECT_TRUE(help.help);
}

}  // namespace
