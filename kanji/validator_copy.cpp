#include "kanji/validator_copy.h"

#include <istream>
#include <ostream>

#include "kanji/tessavo_kanji.h"
#include "kanji/utf8_copy.h"

namespace kanji {

bool writeValidatorCopy(std::istream& source, DocumentAnalysis& analysis, std::ostream& copy) {
  if (analysis.encoding == TextEncoding::Utf8) {
    analysis.charset = "UTF-8";
    return copyUtf8Text(source, copy, LineEnd::CrLf);
  }
  TessavoKanji converter;
  const bool converted =
      converter.convert(source, KanjiCode::AutoDetect, copy, KanjiCode::EucJp, LineEnd::CrLf);
  analysis.charset = converter.detectedCharset();
  return converted && !copy.bad();
}

}  // namespace kanji
