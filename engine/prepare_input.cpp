#include <cstdio>
#include <istream>
#include <ostream>

#include "engine/convert_exception.h"
#include "engine/download.h"
#include "engine/input_file_buffer.h"
#include "engine/output_file_buffer.h"
#include "engine/run_sgml.h"
#include "kanji/validator_copy.h"
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

  std::istream source(&sourceFile);
  // The document is read twice: once to tell how it is to be copied and
  // validated, once to copy it.
  kanji::DocumentAnalysis analysis = kanji::analyseDocument(source, contentType);
  source.clear();
  const bool rewound = sourceFile.rewind();

  std::ostream output(&intermediateFile);
  const bool converted = rewound && kanji::writeValidatorCopy(source, analysis, output);
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
