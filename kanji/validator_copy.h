// Writes the copy of a document that the validator reads, in the encoding
// its analysis chose: a UTF-8 document stays UTF-8 (copyUtf8Text), any other
// goes through the Japanese detection and conversion into EUC-JP
// (TessavoKanji with AutoDetect). Both write every line end as CR LF, so
// that the validator's line numbers are the document's.
//
// Any thread; one call per copy.
#ifndef TESSAVO_KANJI_VALIDATOR_COPY_H_
#define TESSAVO_KANJI_VALIDATOR_COPY_H_

#include <iosfwd>

#include "kanji/document_analysis.h"

namespace kanji {

// Reads `source` from where it stands to its end. False when the copy could
// not be written completely.
// Sets `analysis.charset` to what the document was read as.
bool writeValidatorCopy(std::istream& source, DocumentAnalysis& analysis, std::ostream& copy);

}  // namespace kanji

#endif  // TESSAVO_KANJI_VALIDATOR_COPY_H_
