#include "engine/validator_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/command_line.h"

namespace {

using kanji::MarkupSyntax;
using kanji::TextEncoding;
using platform::ValidatorEncoding;
using Lines = std::vector<std::string>;

kanji::DocumentAnalysis analysis(TextEncoding encoding, MarkupSyntax syntax) {
  kanji::DocumentAnalysis result;
  result.encoding = encoding;
  result.syntax = syntax;
  return result;
}

TEST(ValidatorProfile, FollowsTheDocumentsEncodingAndSyntax) {
  struct Case {
    const char* what;
    TextEncoding encoding;
    MarkupSyntax syntax;
    ValidatorEncoding validatorEncoding;
    const char* spEncoding;
    const char* options;
  };
  const Case cases[] = {
      {"legacy HTML", TextEncoding::Legacy, MarkupSyntax::Sgml, ValidatorEncoding::EucJp, "EUC-JP",
       " -c\"/opt/t v/catalog\""},
      {"UTF-8 HTML", TextEncoding::Utf8, MarkupSyntax::Sgml, ValidatorEncoding::Utf8, "UTF-8",
       " -c\"/opt/t v/catalog\""},
      {"legacy XHTML", TextEncoding::Legacy, MarkupSyntax::Xml, ValidatorEncoding::EucJp, "EUC-JP",
       " -wxml -c\"/opt/t v/xhtml-catalog\""},
      {"UTF-8 XHTML", TextEncoding::Utf8, MarkupSyntax::Xml, ValidatorEncoding::Utf8, "UTF-8",
       " -wxml -c\"/opt/t v/xhtml-catalog\""},
  };
  for (const Case& c : cases) {
    const ValidatorProfile profile = validatorProfile(analysis(c.encoding, c.syntax));
    EXPECT_EQ(profile.encoding, c.validatorEncoding) << c.what;
    EXPECT_STREQ(profile.spEncoding(), c.spEncoding) << c.what;
    EXPECT_EQ(validatorOptionText(profile, "/opt/t v/"), c.options) << c.what;
  }
  // The catalog's path reaches the validator whole, quotes and all.
  const ValidatorProfile quoted =
      validatorProfile(analysis(TextEncoding::Utf8, MarkupSyntax::Sgml));
  EXPECT_EQ(platform::splitCommandLine("onsgmls" + validatorOptionText(quoted, "/a \"b\"/")),
            (Lines{"onsgmls", "-c/a \"b\"/catalog"}));
}

}  // namespace
