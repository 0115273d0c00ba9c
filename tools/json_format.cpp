#include <string>

#include "engine/message_parts.h"
#include "tools/json_writer.h"
#include "tools/report_format.h"

namespace {

const char* stateName(TargetState state) {
  switch (state) {
    case TargetState::Checked:
      return "checked";
    case TargetState::NotChecked:
      break;
    case TargetState::Stopped:
      return "stopped";
  }
  return "could not check";
}

const char* reasonName(kanji::EncodingReason reason) {
  switch (reason) {
    case kanji::EncodingReason::ByteOrderMark:
      return "byte order mark";
    case kanji::EncodingReason::HttpCharset:
      return "HTTP charset";
    case kanji::EncodingReason::DeclaredCharset:
      return "declared charset";
    case kanji::EncodingReason::DeclaredLegacy:
      return "declared Japanese charset";
    case kanji::EncodingReason::Utf8Bytes:
      return "UTF-8 bytes";
    case kanji::EncodingReason::NoUtf8Evidence:
      break;
  }
  return "no UTF-8 evidence";
}

const char* dtdName(kanji::DtdKind dtd) {
  switch (dtd) {
    case kanji::DtdKind::Declared:
      return "declared";
    case kanji::DtdKind::Html5:
      return "HTML5";
    case kanji::DtdKind::Missing:
      break;
  }
  return "missing";
}

void writeMessage(JsonWriter& json, const std::string& line) {
  const MessageParts parts = splitMessageLine(line);
  json.beginObject();
  json.key("line");
  parts.line != 0 ? json.value(parts.line) : json.null();
  json.key("column");
  // From 1, as editors count; the validator counts from 0.
  parts.line != 0 ? json.value(static_cast<std::int64_t>(parts.column) + 1) : json.null();
  json.key("type");
  json.value(severityName(severityOf(parts.kind)));
  json.key("kind");
  json.value(parts.kind != 0 ? std::string(1, parts.kind) : std::string());
  json.key("text");
  json.value(parts.text);
  if (!parts.file.empty()) {
    json.key("file");
    json.value(parts.file);
  }
  json.endObject();
}

const char* checkerName(CheckedBy checker) {
  switch (checker) {
    case CheckedBy::SgmlValidator:
      return "sgml";
    case CheckedBy::Html5Checker:
      return "html5";
    case CheckedBy::Nothing:
      break;
  }
  return nullptr;
}

void writeAnalysis(JsonWriter& json, const TargetReport& report) {
  json.key("checker");
  const char* checker = checkerName(report.checkedBy);
  checker != nullptr ? json.value(checker) : json.null();
  const char* keys[] = {"encoding", "encodingReason", "validatorEncoding", "validator", "dtd"};
  if (!report.analysis) {
    for (const char* key : keys) {
      json.key(key);
      json.null();
    }
    return;
  }
  const kanji::DocumentAnalysis& analysis = *report.analysis;
  const bool utf8 = analysis.encoding == kanji::TextEncoding::Utf8;
  json.key(keys[0]);
  // What the document was read as; every charset but UTF-8 reaches the
  // validator converted to EUC-JP.
  json.value(analysis.charset);
  json.key(keys[1]);
  json.value(reasonName(analysis.reason));
  json.key(keys[2]);
  // The HTML5 checker reads the document's own bytes.
  if (report.checkedBy == CheckedBy::Html5Checker) {
    json.null();
  } else {
    json.value(utf8 ? "UTF-8" : "EUC-JP");
  }
  json.key(keys[3]);
  json.value(analysis.syntax == kanji::MarkupSyntax::Xml ? "XML" : "SGML");
  json.key(keys[4]);
  json.value(dtdName(analysis.dtd));
}

class JsonFormat : public ReportFormat {
 public:
  explicit JsonFormat(std::FILE* output) : output_(output) {
    json_.beginObject();
    json_.key("targets");
    json_.beginArray();
    flush();
  }

  void targetBegun(const TargetReport& report) override {
    json_.lineBreak();
    json_.beginObject();
    json_.key("location");
    json_.value(report.location);
    json_.key("kind");
    json_.value(report.target != nullptr ? report.target->kindName() : "");
    json_.key("state");
    json_.value(stateName(report.state));
    json_.key("reached");
    json_.value(report.reached);
    writeAnalysis(json_, report);
    json_.key("messages");
    json_.beginArray();
    targetOpen_ = true;
    write();
  }

  void targetLine(const std::string& line) override {
    writeMessage(json_, line);
    write();
  }

  void targetEnded() override {
    closeTarget();
    flush();
  }

  void runLine(const std::string& line) override { runLines_.push_back(line); }

  void end(const RunTally& tally) override {
    // A run that failed within a target's lines still gives a whole document.
    closeTarget();
    json_.lineBreak();
    json_.endArray();
    json_.key("runMessages");
    json_.beginArray();
    for (const std::string& line : runLines_) writeMessage(json_, line);
    json_.endArray();
    json_.key("summary");
    json_.beginObject();
    const std::pair<const char*, int> counts[] = {
        {"targets", tally.targets},          {"checked", tally.checked},
        {"couldNotCheck", tally.notChecked}, {"stopped", tally.stopped},
        {"notReached", tally.notReached},    {"errors", tally.errors},
        {"warnings", tally.warnings},        {"infos", tally.infos},
    };
    for (const auto& [name, count] : counts) {
      json_.key(name);
      json_.value(count);
    }
    json_.endObject();
    json_.key("exitStatus");
    json_.value(tally.exitStatus());
    json_.endObject();
    json_.lineBreak();
    flush();
  }

 private:
  void closeTarget() {
    if (!targetOpen_) return;
    json_.endArray();
    json_.endObject();
    targetOpen_ = false;
  }

  void write() {
    const std::string text = json_.take();
    std::fwrite(text.data(), 1, text.size(), output_);
  }

  void flush() {
    write();
    std::fflush(output_);
  }

  std::FILE* output_;
  JsonWriter json_;
  bool targetOpen_ = false;  // its messages are being written
  std::vector<std::string> runLines_;
};

}  // namespace

std::unique_ptr<ReportFormat> makeJsonFormat(std::FILE* output) {
  return std::make_unique<JsonFormat>(output);
}
