// What the top of an HTML or XML document says about itself: a UTF-8 byte
// order mark, an XML declaration and its encoding, the document type
// declaration, and the charset a <meta> element names.
//
// The reader looks only at the bytes it is given (the first
// kDocumentHeadSize bytes of a document, or all of a shorter one) and only
// at ASCII markup, so it works the same whatever the text's encoding. It
// never fails: what it cannot find stays empty. Pure functions; any thread.
#ifndef TESSAVO_KANJI_DOCUMENT_HEAD_H_
#define TESSAVO_KANJI_DOCUMENT_HEAD_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kanji {

// How much of a document the markup is looked for in.
constexpr std::size_t kDocumentHeadSize = 64 * 1024;

// Whether the prolog (what comes before the first element) holds a
// document type declaration.
enum class DoctypePresence {
  Found,
  Missing,       // an element, text or the end of the document came first
  Undetermined,  // the head ended inside the prolog or inside a declaration
};

struct DocumentHead {
  bool byteOrderMark = false;   // EF BB BF at the very start
  bool xmlDeclaration = false;  // "<?xml" opens the document (after white space)
  std::string xmlEncoding;      // its encoding pseudo-attribute, as written
  std::string metaCharset;      // of the first <meta> that names a charset

  DoctypePresence doctype = DoctypePresence::Undetermined;
  std::string doctypeName;  // as written
  std::string publicId;     // as written; empty when there is none
  std::string systemId;     // as written; empty when there is none
  bool hasPublicId = false;
  bool hasSystemId = false;
  bool hasInternalSubset = false;
  // The declaration from "<!" to ">" with every run of white space written
  // as one blank, at most kDoctypeTextLimit bytes.
  std::string doctypeText;
  // The value of the root element's xmlns attribute, as written; empty when
  // it has none or its start tag is not within the head.
  std::string rootNamespace;
};

constexpr std::size_t kDoctypeTextLimit = 200;

// Reads the head of a document. `complete` says that `head` is the whole
// document, so that reaching its end inside the prolog means there is no
// document type declaration.
DocumentHead readDocumentHead(std::string_view head, bool complete);

// The charset parameter of a MIME type such as "text/html; charset=UTF-8"
// (quotes removed), or the empty text.
std::string charsetParameter(std::string_view contentType);

}  // namespace kanji

#endif  // TESSAVO_KANJI_DOCUMENT_HEAD_H_
