// A URI reference split into scheme, authority, path, query and fragment,
// in the form a user types it or a shortcut or working-set file holds it.
//
// The split is byte-wise and loose: the delimiters ":", "//", "/", "?" and
// "#" are known, "@" and ":" inside the authority end the user information
// and start the port, and only the schemes "http" (an empty path becomes
// "/") and "file" (a drive letter after "///" belongs to the path) are
// treated specially. Nothing is resolved, normalised, case-folded or
// unescaped; components are kept as they appear.
//
// Scans run over URI characters only: every byte 0x21 to 0xFF except
// '"', '<', '>' and DEL. Bytes 0x80 and above (Shift_JIS text) are URI
// characters; space, control characters and the terminating NUL end every
// scan, and whatever follows is left out of the components (unparsed()
// keeps it, so that a caller can refuse a text that was cut).
//
//   http://user@server:8080/a/b.html?x=1#top
//     scheme "http", authority "user@server:8080", path "/a/b.html",
//     query "x=1", fragment "top"; host() "server", port() 8080
//   file:///C:/doc/a.htm   scheme "file", authority "", path "C:/doc/a.htm"
//   C:\doc\a.htm           scheme "C", path "\doc\a.htm"
//
// A value class; parsing never fails (every input gives some split, possibly
// all empty). escape() and unescape() live in net/uri_escape.h.
#ifndef TESSAVO_NET_URI_H_
#define TESSAVO_NET_URI_H_

#include <string>

#include "net/uri_escape.h"

class URI {
 public:
  // Both read up to the first NUL; a null pointer counts as empty text.
  explicit URI(const char* text);
  explicit URI(const std::string& text);
  virtual ~URI() = default;
  URI(const URI&) = default;
  URI& operator=(const URI&) = default;

  std::string scheme() const { return scheme_; }
  std::string authority() const { return authority_; }
  std::string path() const { return path_; }
  std::string query() const { return query_; }
  std::string fragment() const { return fragment_; }

  // Whether the scheme is `lowerCaseName`, ASCII letters compared without
  // regard to case ("HTTP" is "http").
  bool schemeIs(const char* lowerCaseName) const;

  // The authority without user information ("...@") and port (":..."). An
  // IPv6 address keeps its brackets: "[::1]".
  std::string host() const;
  // The number after the first ":" that follows the user information (and
  // the closing bracket of an IPv6 address), read like atoi (no digits give
  // 0); -1 when there is no such ":".
  int port() const;

  // The components joined again. An empty authority gives no "//", so
  // "file:///C:/doc/a.htm" comes back as "file:C:/doc/a.htm".
  std::string toString() const;

  // The text from the first byte that ended the parse before the end: the
  // space and the rest of "http://h/a b", empty when the whole text went
  // into the components.
  const std::string& unparsed() const { return unparsed_; }

 private:
  // Fills the components; returns where the parse stopped.
  const char* parse(const char* text);

  std::string scheme_;
  std::string authority_;
  std::string path_;
  std::string query_;
  std::string fragment_;
  std::string unparsed_;
};

#endif  // TESSAVO_NET_URI_H_
