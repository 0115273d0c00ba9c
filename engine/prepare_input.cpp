#include <cstdio>
#include <fstream>

#include "engine/convert_exception.h"
#include "engine/download.h"
#include "engine/output_file_buffer.h"
#include "engine/run_sgml.h"
#include "kanji/tessavo_kanji.h"
#include "platform/file_system.h"
#include "platform/local_text.h"

void RunSgml::prepareInput(const CheckTarget& target, const std::string& intermediate,
                           const std::string& download) {
  TessavoKanji converter;
  std::ifstream source;
  OutputFileBuffer intermediateFile;

  std::string sourcePath;
  switch (target.kind) {
    case TargetKind::Http:
      downloadTarget(target, download);
      sourcePath = download;
      break;
    case TargetKind::File:
      // The location is used exactly as stored, whatever its separators.
      sourcePath = target.location;
      break;
    default:
      throw ConvertException(platform::localText("未知のスキーム"));
  }
  // A folder opens for reading here but has no text, as on Windows it does
  // not open at all.
  if (!platform::isExistingDirectory(sourcePath)) {
    source.open(sourcePath, std::ios::in | std::ios::binary);
  }
  if (!source.is_open()) throw ConvertException(platform::localText("入力ファイルを開けない"));

  if (!intermediateFile.open(intermediate)) {
    throw ConvertException(platform::localText("中間ファイルを開けない"));
  }

  std::ostream output(&intermediateFile);
  const bool converted =
      converter.convert(source, KanjiCode::AutoDetect, output, KanjiCode::EucJp, LineEnd::CrLf);
  const bool written = intermediateFile.close();
  if (!converted) throw ConvertException(platform::localText("漢字コード変換に失敗"));
  // A copy cut short by a full disk would have the validator report errors
  // the document does not have; it is a failed conversion instead.
  if (!written) {
    std::remove(intermediate.c_str());
    throw ConvertException(platform::localText("漢字コード変換に失敗"));
  }
}
