// How the validator is run for one document, chosen from the document's
// analysis (kanji/document_analysis.h):
//
//   document                      copy     SP_ENCODING  catalog        options
//   Shift_JIS, EUC-JP, JIS, ASCII EUC-JP   EUC-JP       catalog        -
//   UTF-8                         UTF-8    UTF-8        catalog        -
//   XHTML (XML syntax), either    as above as above     xhtml-catalog  -wxml
//
// Both catalogs lie in the program's folder; xhtml-catalog adds the XML SGML
// declaration to catalog, which names the HTML and the XHTML DTDs.
// Pure functions; any thread.
#ifndef TESSAVO_ENGINE_VALIDATOR_PROFILE_H_
#define TESSAVO_ENGINE_VALIDATOR_PROFILE_H_

#include <string>
#include <vector>

#include "kanji/document_analysis.h"
#include "platform/validator_text.h"

struct ValidatorProfile {
  // The encoding of the copy, which the validator is told with SP_ENCODING
  // and writes its messages in.
  platform::ValidatorEncoding encoding = platform::ValidatorEncoding::EucJp;
  // The catalog's file name in the program's folder: "catalog" or
  // "xhtml-catalog".
  std::string catalogName;
  std::vector<std::string> options;  // one argument each, before -c

  // The value of SP_ENCODING: "EUC-JP" or "UTF-8".
  const char* spEncoding() const { return platform::spEncodingName(encoding); }
};

ValidatorProfile validatorProfile(const kanji::DocumentAnalysis& analysis);

// The options and the catalog as command-line text, the catalog's path in
// double quotes: ` -wxml -c"/opt/tessavo/xhtml-catalog"` (it begins with a
// blank, like the rest of the validator's command line). `programFolder` is
// the folder of the executable, ending in "/".
std::string validatorOptionText(const ValidatorProfile& profile, const std::string& programFolder);

#endif  // TESSAVO_ENGINE_VALIDATOR_PROFILE_H_
