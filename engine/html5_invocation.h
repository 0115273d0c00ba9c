// How a check run hands one document to the HTML5 checker: one POST of the
// document's original bytes to the checker's service, on a connection that
// the worker keeps alive from page to page.
//
//   POST /?out=json HTTP/1.1
//   Content-Type: <the download's type, or text/html or application/xhtml+xml>
//
// The checker applies the HTML encoding rules to the bytes itself (byte
// order mark, the charset of the Content-Type, a <meta> charset). A
// download's own Content-Type goes with it when it names HTML or XHTML, its
// charset included; otherwise, and for a local file, the document's syntax
// decides, and a charset the server named is kept.
//
// The request waits at most the run's validator time-out as a whole, and a
// stop ends it within a tenth of a second. A kept connection the service
// closed meanwhile is opened anew once. One object per worker, on its
// thread; the Html5Checker must outlive it.
#ifndef TESSAVO_ENGINE_HTML5_INVOCATION_H_
#define TESSAVO_ENGINE_HTML5_INVOCATION_H_

#include <atomic>
#include <string>

#include "engine/html5_checker.h"
#include "kanji/document_analysis.h"
#include "net/http_connection.h"

// Whether a document goes to the HTML5 checker: HTML5's <!DOCTYPE html>
// (about:legacy-compat included) and documents without a document type
// declaration, XML ones among them; every document that names a DTD goes
// to the SGML validator.
bool goesToHtml5Checker(const kanji::DocumentAnalysis& analysis);

// The Content-Type the checker is given for a document of `analysis`;
// `httpContentType` is a download's own, empty for a local file. A download
// keeps an HTML or XHTML type; otherwise XML whose root is in the XHTML
// namespace goes as application/xhtml+xml and everything else as text/html,
// with the download's charset if it named one.
std::string html5ContentType(const kanji::DocumentAnalysis& analysis,
                             const std::string& httpContentType);

struct Html5Answer {
  enum class End { Answered, Failed, Stopped };
  End end = End::Failed;
  std::string json;     // the checker's answer, when Answered
  std::string failure;  // what failed, without "E: ", when Failed
};

class Html5Invocation {
 public:
  explicit Html5Invocation(Html5Checker& checker);
  Html5Invocation(const Html5Invocation&) = delete;
  Html5Invocation& operator=(const Html5Invocation&) = delete;

  // Checks the document in the file `path` (at most the checker's document
  // limit) as `contentType`.
  Html5Answer check(const std::string& path, const std::string& contentType,
                    const std::atomic<bool>& stop, int timeoutSeconds);

 private:
  Html5Checker& checker_;
  HttpConnection connection_;
};

#endif  // TESSAVO_ENGINE_HTML5_INVOCATION_H_
