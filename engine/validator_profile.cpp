#include "engine/validator_profile.h"

#include "platform/command_line.h"

ValidatorProfile validatorProfile(const kanji::DocumentAnalysis& analysis) {
  ValidatorProfile profile;
  profile.encoding = analysis.encoding == kanji::TextEncoding::Utf8
                         ? platform::ValidatorEncoding::Utf8
                         : platform::ValidatorEncoding::EucJp;
  if (analysis.syntax == kanji::MarkupSyntax::Xml) {
    profile.catalogName = "xhtml-catalog";
    // Warnings about what XML forbids but SGML allows, so that an XHTML
    // document is held to XML's rules.
    profile.options.push_back("-wxml");
  } else {
    profile.catalogName = "catalog";
  }
  return profile;
}

std::string validatorOptionText(const ValidatorProfile& profile, const std::string& programFolder) {
  std::string text;
  // The options are the program's own words, never in need of quotes.
  for (const std::string& option : profile.options) text += " " + option;
  text += " -c\"" + platform::quotedArgumentText(programFolder + profile.catalogName) + "\"";
  return text;
}
