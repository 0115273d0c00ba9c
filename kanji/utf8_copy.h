// Copies a UTF-8 document for the validator: every byte as it stands, the
// byte order mark and bytes that are not UTF-8 included, except line ends.
//
// Each line end of the input (CR LF, a lone CR or a lone LF) becomes one
// `lineEnd`, the rule the Japanese conversion follows, so that the validator
// numbers the copy's lines as an editor numbers the document's. CR and LF
// never occur inside a UTF-8 multibyte sequence, so this never splits a
// character.
//
// Reads and writes through the streams' buffers in blocks. One call per
// copy; no state between calls; any thread.
#ifndef TESSAVO_KANJI_UTF8_COPY_H_
#define TESSAVO_KANJI_UTF8_COPY_H_

#include <iosfwd>

#include "kanji/tessavo_kanji.h"

namespace kanji {

// Copies `input` to its end into `output`. Returns false, and sets badbit on
// `output`, when a write failed; the input is still read to its end.
bool copyUtf8Text(std::istream& input, std::ostream& output, LineEnd lineEnd);

}  // namespace kanji

#endif  // TESSAVO_KANJI_UTF8_COPY_H_
