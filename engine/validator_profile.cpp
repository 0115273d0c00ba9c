#include "engine/validator_profile.h"

#include "platform/process.h"

ValidatorProfile validatorProfile(const kanji::DocumentAnalysis& analysis,
                                  const std::string& programFolder) {
  ValidatorProfile profile;
  profile.encoding = analysis.encoding == kanji::TextEncoding::Utf8
                         ? platform::ValidatorEncoding::Utf8
                         : platform::ValidatorEncoding::EucJp;
  if (analysis.syntax == kanji::MarkupSyntax::Xml) {
    profile.catalog = programFolder + "xhtml-catalog";
    // Warnings about what XML forbids but SGML allows, so that an XHTML
    // document is held to XML's rules.
    profile.options.push_back("-wxml");
  } else {
    profile.catalog = programFolder + "catalog";
  }
  return profile;
}

std::string validatorOptionText(const ValidatorProfile& profile) {
  std::string text;
  // The options are the program's own words, never in need of quotes.
  for (const std::string& option : profile.options) text += " " + option;
  text += " -c\"" + platform::quotedArgumentText(profile.catalog) + "\"";
  return text;
}
