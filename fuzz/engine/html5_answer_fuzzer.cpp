// The HTML5 checker's answer, or any bytes in its place: turned into pane
// lines. Every line must be one line with a kind, its position (when it has
// one) must be the pane's form, and an unreadable answer must give none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/html5_messages.h"
#include "engine/message_parts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string answer(reinterpret_cast<const char*>(data), size);
  std::vector<ReportLine> lines;
  platform::ValidatorText converter;
  const Html5Listing listing = listHtml5Messages(answer, lines, converter);
  if (!listing.readable && (!lines.empty() || listing.nonDocumentError)) std::abort();
  for (const ReportLine& line : lines) {
    if (line.text.find('\n') != std::string::npos || line.itemLine < 0) std::abort();
    const MessageParts parts = splitMessageLine(line.text);
    if (parts.kind != 'E' && parts.kind != 'W' && parts.kind != 'I') std::abort();
    if (parts.line != line.itemLine || !parts.file.empty()) std::abort();
  }
  return 0;
}
