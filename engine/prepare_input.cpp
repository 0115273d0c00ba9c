#include <cstdio>
#include <istream>
#include <ostream>
#include <string_view>

#include "engine/convert_exception.h"
#include "engine/download.h"
#include "engine/input_file_buffer.h"
#include "engine/output_file_buffer.h"
#include "engine/run_sgml.h"
#include "kanji/validator_copy.h"
#include "kanji/wide_unicode_buffer.h"
#include "platform/file_handle.h"
#include "platform/local_text.h"

namespace {

// The message's fixed text, then the path it is about and, when known, the
// reason.
ConvertException failure(const char* text, const std::string& path, int error = 0,
                         bool inRunFolder = false) {
  std::string message = platform::localText(text) + ": " + path;
  if (error != 0) message += ": " + platform::errorText(error);
  return ConvertException(message, inRunFolder);
}

// The form a byte order mark of UTF-16 or UTF-32 gives the file, which is
// then back at its first byte (or failed()).
kanji::WideForm wideFormAtStart(InputFileBuffer& file) {
  char start[4];
  const std::streamsize got = file.sgetn(start, sizeof start);
  file.rewind();
  return kanji::wideFormOf(std::string_view(start, got > 0 ? static_cast<std::size_t>(got) : 0));
}

}  // namespace

kanji::DocumentAnalysis RunSgml::prepareInput(const CheckTarget& target,
                                              const std::string& intermediate,
                                              const std::string& download,
                                              const std::atomic<bool>* stop,
                                              std::string* downloadContentType) {
  InputFileBuffer sourceFile;
  OutputFileBuffer intermediateFile;

  std::string sourcePath;
  // The download's Content-Type may name the document's charset.
  std::string contentType;
  switch (target.kind) {
    case TargetKind::Http:
      contentType = downloadTarget(target, download, stop).contentType;
      if (downloadContentType != nullptr) *downloadContentType = contentType;
      sourcePath = download;
      break;
    case TargetKind::File:
      // The location is used exactly as stored, whatever its separators.
      sourcePath = target.location;
      break;
    default:
      throw ConvertException(platform::localText("未知のスキーム"));
  }
  // Only a regular file opens: a folder, FIFO or device is refused at once.
  if (!sourceFile.open(sourcePath)) throw failure("入力ファイルを開けない", sourcePath);

  if (!intermediateFile.open(intermediate)) {
    throw failure("中間ファイルを開けない", intermediate, intermediateFile.error(), true);
  }

  // A document in UTF-16 or UTF-32 is read as UTF-8 from its first byte
  // on: the analysis finds its markup, and it is copied as UTF-8.
  const kanji::WideForm wide = wideFormAtStart(sourceFile);
  kanji::WideUnicodeBuffer decoded(&sourceFile, wide);
  std::istream source(wide == kanji::WideForm::None ? static_cast<std::streambuf*>(&sourceFile)
                                                    : &decoded);
  // The document is read twice: once to tell how it is to be copied and
  // validated, once to copy it.
  kanji::DocumentAnalysis analysis = kanji::analyseDocument(source, contentType);
  source.clear();
  const bool rewound = sourceFile.rewind();
  decoded.restart();

  std::ostream output(&intermediateFile);
  const bool converted = rewound && kanji::writeValidatorCopy(source, analysis, output);
  if (wide != kanji::WideForm::None) analysis.charset = kanji::wideFormName(wide);
  const bool written = intermediateFile.close();
  // A copy cut short (a full disk, a read error) would have the validator
  // report errors the document does not have. A failed write also fails the
  // copy, so it is asked first to name the right cause.
  if (!written) {
    std::remove(intermediate.c_str());
    throw failure("中間ファイルに書き込めない", intermediate, intermediateFile.error(), true);
  }
  if (sourceFile.failed()) {
    std::remove(intermediate.c_str());
    throw failure("入力ファイルを読めない", sourcePath, sourceFile.error());
  }
  if (!converted) {
    std::remove(intermediate.c_str());
    throw failure("漢字コード変換に失敗", sourcePath);
  }
  return analysis;
}
