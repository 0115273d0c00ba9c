// Decodes a body sent with "Content-Encoding: gzip" on its way into the
// file: a stream buffer that takes the body as it arrives and writes what
// it decodes to the file's stream, so that the file holds the document.
//
// Concatenated gzip members decode one after the other, as gunzip does.
// Data that is no gzip, or is corrupt, fails as malformed; decoded bytes
// beyond `limit` (0 or less: none) fail as too large, so a small body
// cannot swell into a huge file; data that ends inside a member fails as
// cut short at finish(). After a failure nothing more is written and the
// buffer takes no more, so the copy stops.
//
// Used by HttpConnection on its own thread; the file stream is borrowed.
#ifndef TESSAVO_NET_GZIP_BODY_H_
#define TESSAVO_NET_GZIP_BODY_H_

#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>

#include "net/http_failure.h"

class GzipBody : public std::streambuf {
 public:
  GzipBody(std::ostream& file, std::int64_t limit);
  ~GzipBody() override;
  GzipBody(const GzipBody&) = delete;
  GzipBody& operator=(const GzipBody&) = delete;

  // After the whole body: the failure so far, or a cut one when the data
  // ended inside a member.
  HttpOutcome finish();
  // The failure so far; ok() while none.
  const HttpOutcome& outcome() const { return outcome_; }

 protected:
  std::streamsize xsputn(const char* data, std::streamsize size) override;
  int_type overflow(int_type c) override;

 private:
  struct Stream;

  bool decode(const char* data, std::size_t size);
  void fail(HttpFailure failure, std::string text);

  std::ostream& file_;
  const std::int64_t limit_;
  std::unique_ptr<Stream> stream_;
  std::int64_t decoded_ = 0;
  bool inMember_ = false;  // some of a member has come and its end not yet
  HttpOutcome outcome_;
};

#endif  // TESSAVO_NET_GZIP_BODY_H_
