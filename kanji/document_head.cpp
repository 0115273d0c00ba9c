#include "kanji/document_head.h"

#include "platform/ascii_case.h"

namespace kanji {
namespace {

using platform::equalsIgnoringAsciiCase;
using platform::startsWithIgnoringAsciiCase;

constexpr std::size_t kNone = std::string_view::npos;

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A position in the head and the small steps the markup rules take.
class Cursor {
 public:
  explicit Cursor(std::string_view text, std::size_t at = 0) : text_(text), at_(at) {}

  bool atEnd() const { return at_ >= text_.size(); }
  std::size_t at() const { return at_; }
  char peek(std::size_t ahead = 0) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
  }
  std::string_view rest() const { return atEnd() ? std::string_view() : text_.substr(at_); }

  void skip(std::size_t count) { at_ = at_ + count < text_.size() ? at_ + count : text_.size(); }
  void skipSpace() {
    while (!atEnd() && isSpace(text_[at_])) ++at_;
  }
  // Moves past the next `what`; false (at the end) when there is none.
  bool skipPast(std::string_view what) {
    const std::size_t found = text_.find(what, at_);
    if (found == kNone) {
      at_ = text_.size();
      return false;
    }
    at_ = found + what.size();
    return true;
  }
  bool startsWith(std::string_view lowerCase) const {
    return startsWithIgnoringAsciiCase(rest(), lowerCase);
  }
  // A quoted literal ("..." or '...'); false, consuming nothing, when none
  // starts here or it is not closed.
  bool quoted(std::string_view& value) {
    const char quote = peek();
    if (quote != '"' && quote != '\'') return false;
    const std::size_t close = text_.find(quote, at_ + 1);
    if (close == kNone) return false;
    value = text_.substr(at_ + 1, close - at_ - 1);
    at_ = close + 1;
    return true;
  }
  // Characters up to white space or one of `stops`.
  std::string_view token(std::string_view stops) {
    const std::size_t start = at_;
    while (!atEnd() && !isSpace(text_[at_]) && stops.find(text_[at_]) == kNone) ++at_;
    return text_.substr(start, at_ - start);
  }

 private:
  std::string_view text_;
  std::size_t at_;
};

// The value after "charset" and "=" in `text`, as HTTP and http-equiv
// content write it: unquoted up to ";" or white space, or quoted.
std::string charsetAfterName(std::string_view text) {
  for (std::size_t from = 0;;) {
    std::size_t found = kNone;
    for (std::size_t i = from; i + 7 <= text.size(); ++i) {
      if (equalsIgnoringAsciiCase(text.substr(i, 7), "charset")) {
        found = i;
        break;
      }
    }
    if (found == kNone) return {};
    Cursor cursor(text, found + 7);
    cursor.skipSpace();
    if (cursor.peek() != '=') {
      from = found + 7;
      continue;
    }
    cursor.skip(1);
    cursor.skipSpace();
    std::string_view value;
    if (!cursor.quoted(value)) value = cursor.token(";\"'");
    return std::string(value);
  }
}

// One attribute of a tag, by the rules browsers use to find a charset
// before parsing: a name, optionally "=" and a quoted or bare value.
bool nextAttribute(Cursor& cursor, std::string& name, std::string_view& value) {
  while (!cursor.atEnd() && (isSpace(cursor.peek()) || cursor.peek() == '/')) cursor.skip(1);
  if (cursor.atEnd() || cursor.peek() == '>') return false;
  name = platform::toLowerAscii(std::string(cursor.token("=>/")));
  // A stray "=" with no name before it is a name of its own, as browsers
  // read it; it must be consumed so that the scan moves on.
  if (name.empty()) {
    name = "=";
    cursor.skip(1);
  }
  value = {};
  cursor.skipSpace();
  if (cursor.peek() != '=') return true;
  cursor.skip(1);
  cursor.skipSpace();
  if (!cursor.quoted(value)) {
    if (cursor.peek() == '"' || cursor.peek() == '\'') cursor.skip(1);  // unclosed quote
    value = cursor.token(">");
  }
  return true;
}

// Reads a <meta> tag's attributes (the cursor after "<meta") and returns the
// charset it names, if any.
std::string metaTagCharset(Cursor& cursor) {
  std::string charset;
  std::string content;
  bool contentType = false;
  std::string name;
  std::string_view value;
  while (nextAttribute(cursor, name, value)) {
    if (name == "charset" && charset.empty()) charset = std::string(value);
    if (name == "content" && content.empty()) content = std::string(value);
    if (name == "http-equiv") contentType = equalsIgnoringAsciiCase(value, "content-type");
  }
  cursor.skip(1);  // the ">"
  if (!charset.empty()) return charset;
  return contentType ? charsetAfterName(content) : std::string();
}

// The charset of the first <meta> element that names one, looking through
// the head's tags up to <body>; comments and other tags' attribute values
// are passed over.
std::string findMetaCharset(std::string_view head) {
  Cursor cursor(head);
  while (cursor.skipPast("<")) {
    if (cursor.startsWith("!--")) {
      cursor.skip(3);
      if (!cursor.skipPast("-->")) break;
      continue;
    }
    const bool closing = cursor.peek() == '/';
    if (closing) cursor.skip(1);
    if (!isLetter(cursor.peek())) {
      // "<!...>", "<?...>" and a lone "<" in text.
      if (!closing && (cursor.peek() == '!' || cursor.peek() == '?')) cursor.skipPast(">");
      continue;
    }
    const std::string tag = platform::toLowerAscii(std::string(cursor.token("/>")));
    if (tag == "body" && !closing) break;
    if (tag == "meta" && !closing) {
      std::string charset = metaTagCharset(cursor);
      if (!charset.empty()) return charset;
      continue;
    }
    std::string name;
    std::string_view value;
    while (nextAttribute(cursor, name, value)) {
    }
  }
  return {};
}

// The XML declaration's encoding pseudo-attribute.
std::string xmlEncodingOf(std::string_view declaration) {
  Cursor cursor(declaration);
  std::string name;
  std::string_view value;
  while (nextAttribute(cursor, name, value)) {
    if (name == "encoding") return std::string(value);
  }
  return {};
}

// `<!DOCTYPE` ... `>` with white space runs as one blank, cut at the limit.
std::string collapsedText(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size() && result.size() < kDoctypeTextLimit; ++i) {
    if (isSpace(text[i])) {
      if (!result.empty() && result.back() == ' ') continue;
      result += ' ';
    } else {
      result += text[i];
    }
  }
  return result;
}

void readSystemId(Cursor& cursor, DocumentHead& result) {
  std::string_view literal;
  if (cursor.quoted(literal)) result.systemId = std::string(literal);
}

// Reads the document type declaration (the cursor on "<!DOCTYPE").
void readDoctype(Cursor& cursor, std::string_view head, DocumentHead& result) {
  const std::size_t start = cursor.at();
  cursor.skip(9);
  cursor.skipSpace();
  cursor.token("[>\"'");  // the document type's name
  cursor.skipSpace();
  std::string_view literal;
  if (cursor.startsWith("public")) {
    cursor.skip(6);
    cursor.skipSpace();
    result.hasPublicId = cursor.quoted(literal);
    if (result.hasPublicId) result.publicId = std::string(literal);
    cursor.skipSpace();
    readSystemId(cursor, result);
  } else if (cursor.startsWith("system")) {
    cursor.skip(6);
    cursor.skipSpace();
    readSystemId(cursor, result);
  }
  cursor.skipSpace();
  // The rest up to ">": an internal subset in brackets, whose quoted texts
  // may hold "]" and ">".
  char quote = '\0';
  bool inSubset = false;
  for (; !cursor.atEnd(); cursor.skip(1)) {
    const char c = cursor.peek();
    if (quote != '\0') {
      if (c == quote) quote = '\0';
    } else if (inSubset && (c == '"' || c == '\'')) {
      quote = c;
    } else if (c == '[') {
      inSubset = true;
    } else if (c == ']') {
      inSubset = false;
    } else if (c == '>' && !inSubset) {
      break;
    }
  }
  if (cursor.atEnd()) return;  // not closed within the head: undetermined
  result.doctype = DoctypePresence::Found;
  result.doctypeText = collapsedText(head.substr(start, cursor.at() + 1 - start));
}

enum class Skipped { One, None, Unclosed };

// After white space: moves past a comment or processing instruction at the
// cursor (One), or finds something else there (None), or one that does not
// close within the head (Unclosed, the cursor at the end).
Skipped skipCommentOrInstruction(Cursor& cursor) {
  cursor.skipSpace();
  if (cursor.startsWith("<!--")) {
    cursor.skip(4);
    return cursor.skipPast("-->") ? Skipped::One : Skipped::Unclosed;
  }
  if (cursor.startsWith("<?")) return cursor.skipPast(">") ? Skipped::One : Skipped::Unclosed;
  return Skipped::None;
}

// Reads the root element's xmlns attribute, when the cursor (after white
// space, comments and processing instructions) is on its start tag.
void readRootNamespace(Cursor& cursor, DocumentHead& result) {
  Skipped skipped;
  while ((skipped = skipCommentOrInstruction(cursor)) == Skipped::One) {
  }
  if (skipped == Skipped::Unclosed) return;
  if (cursor.peek() != '<' || !isLetter(cursor.peek(1))) return;
  cursor.skip(1);
  cursor.token("/>");  // the element's name
  std::string name;
  std::string_view value;
  while (nextAttribute(cursor, name, value)) {
    if (name == "xmlns") {
      result.rootNamespace = std::string(value);
      return;
    }
  }
}

// Walks the prolog: XML declaration, comments, processing instructions, and
// the document type declaration if one comes before anything else; then
// the root element's namespace.
void readProlog(std::string_view head, bool complete, DocumentHead& result) {
  Cursor cursor(head, result.byteOrderMark ? 3 : 0);
  cursor.skipSpace();
  if (cursor.rest().substr(0, 5) == "<?xml" && (isSpace(cursor.peek(5)) || cursor.peek(5) == '?')) {
    const std::size_t start = cursor.at() + 5;
    result.xmlDeclaration = true;
    const bool closed = cursor.skipPast("?>");
    const std::size_t end = closed ? cursor.at() - 2 : head.size();
    result.xmlEncoding = xmlEncodingOf(head.substr(start, end - start));
  }
  for (;;) {
    const Skipped skipped = skipCommentOrInstruction(cursor);
    if (skipped == Skipped::Unclosed) return;
    if (skipped == Skipped::One) continue;
    if (cursor.atEnd()) {
      result.doctype = complete ? DoctypePresence::Missing : DoctypePresence::Undetermined;
      return;
    }
    if (cursor.startsWith("<!doctype") &&
        (isSpace(cursor.peek(9)) || cursor.peek(9) == '>' || cursor.peek(9) == '[')) {
      readDoctype(cursor, head, result);
      if (result.doctype != DoctypePresence::Found) return;
      cursor.skip(1);  // its ">"
    } else {
      result.doctype = DoctypePresence::Missing;
    }
    readRootNamespace(cursor, result);
    return;
  }
}

}  // namespace

DocumentHead readDocumentHead(std::string_view head, bool complete) {
  DocumentHead result;
  result.byteOrderMark = head.substr(0, 3) == "\xEF\xBB\xBF";
  readProlog(head, complete, result);
  result.metaCharset = findMetaCharset(head);
  return result;
}

std::string charsetParameter(std::string_view contentType) {
  const std::size_t semicolon = contentType.find(';');
  if (semicolon == kNone) return {};
  return charsetAfterName(contentType.substr(semicolon + 1));
}

}  // namespace kanji
