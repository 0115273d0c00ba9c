#include <fstream>

#include "engine/convert_exception.h"
#include "engine/download.h"
#include "engine/run_sgml.h"
#include "kanji/tessavo_kanji.h"
#include "platform/local_text.h"

void RunSgml::prepareInput(const CheckTarget& target, const std::string& intermediate,
                           const std::string& download) {
  TessavoKanji converter;
  std::ifstream source;
  std::ofstream output;

  switch (target.kind) {
    case TargetKind::Http:
      downloadTarget(target, download);
      source.open(download, std::ios::in | std::ios::binary);
      break;
    case TargetKind::File:
      // The location is used exactly as stored, whatever its separators.
      source.open(target.location, std::ios::in | std::ios::binary);
      break;
    default:
      throw ConvertException(platform::localText("未知のスキーム"));
  }
  if (!source.is_open()) throw ConvertException(platform::localText("入力ファイルを開けない"));

  output.open(intermediate, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!output.is_open()) throw ConvertException(platform::localText("中間ファイルを開けない"));

  if (!converter.convert(source, KanjiCode::AutoDetect, output, KanjiCode::EucJp, LineEnd::CrLf)) {
    throw ConvertException(platform::localText("漢字コード変換に失敗"));
  }
}
