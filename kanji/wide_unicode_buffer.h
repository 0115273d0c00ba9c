// A stream buffer that reads a document in UTF-16 or UTF-32 from another
// stream buffer and gives it as UTF-8 (kanji/wide_unicode.h), so that the
// analysis and the copy read it as they read a UTF-8 document.
//
// It borrows the source, which must outlive it, and reads it in blocks.
// One thread at a time.
#ifndef TESSAVO_KANJI_WIDE_UNICODE_BUFFER_H_
#define TESSAVO_KANJI_WIDE_UNICODE_BUFFER_H_

#include <streambuf>
#include <string>
#include <vector>

#include "kanji/wide_unicode.h"

namespace kanji {

class WideUnicodeBuffer : public std::streambuf {
 public:
  WideUnicodeBuffer(std::streambuf* source, WideForm form);
  WideUnicodeBuffer(const WideUnicodeBuffer&) = delete;
  WideUnicodeBuffer& operator=(const WideUnicodeBuffer&) = delete;

  // Starts the text again from its first byte, once the caller has put
  // the source back there.
  void restart();

 protected:
  int_type underflow() override;

 private:
  std::streambuf* source_;
  WideForm form_;
  WideDecoder decoder_;
  std::vector<char> block_;
  std::string decoded_;
  bool ended_ = false;
};

}  // namespace kanji

#endif  // TESSAVO_KANJI_WIDE_UNICODE_BUFFER_H_
