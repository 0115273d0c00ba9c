#include "tools/report_format.h"

std::unique_ptr<ReportFormat> makeReportFormat(OutputFormat format, std::FILE* output) {
  switch (format) {
    case OutputFormat::Gnu:
      return makeGnuFormat(output);
    case OutputFormat::Json:
      return makeJsonFormat(output);
    case OutputFormat::Text:
      break;
  }
  return nullptr;
}
