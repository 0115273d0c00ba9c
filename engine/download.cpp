#include "engine/download.h"

#include "engine/convert_exception.h"
#include "platform/local_text.h"

void downloadTarget(const CheckTarget&, const std::string&) {
  throw ConvertException(platform::localText("ダウンロードに失敗"));
}
