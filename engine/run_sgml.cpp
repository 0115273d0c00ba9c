#include "engine/run_sgml.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/convert_exception.h"
#include "engine/temp_paths.h"
#include "files/file_name.h"
#include "platform/euc_jp_text.h"
#include "platform/executable_path.h"
#include "platform/local_text.h"
#include "platform/process.h"

namespace {

const char kIntermediateName[] = "$conv.sgml";

// Error-file lines are read in pieces of this many bytes less one.
constexpr int kErrorLineBuffer = 1000;

std::unique_ptr<ErrorItem> itemFor(CheckTarget* target, int line) {
  return std::make_unique<ErrorItem>(ErrorItem{target, line});
}

// Where the target's converted copy goes.
std::string intermediatePath(const CheckTarget& target, const std::string& temp) {
  switch (target.kind) {
    case TargetKind::File: {
      const FileName name(target.location);
      // A directory without its host would name a folder on this machine,
      // and a document called "$conv.sgml" must not be overwritten by its
      // own copy: both get their copy in the temporary folder.
      if (!name.host().empty() || name.name() == kIntermediateName) return temp + kIntermediateName;
      return name.directory() + kIntermediateName;
    }
    case TargetKind::Http:
      return temp + kIntermediateName;
  }
  throw ConvertException(platform::localText("未知のスキーム"));
}

// The number at the start of `text` as sscanf's "%d" reads it (leading
// white space, an optional sign, digits), or 0 when there is none. Values
// beyond the int range are clamped instead of being undefined.
int leadingNumber(const char* text) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text) return 0;
  if (value > 0x7FFFFFFFLL) return 0x7FFFFFFF;
  if (value < -0x7FFFFFFFLL - 1) return -0x7FFFFFFF - 1;
  return static_cast<int>(value);
}

void readErrorFile(const std::string& errorFile, CheckTarget* target, ErrorPane& pane,
                   platform::EucJpConverter& converter) {
  std::FILE* file = std::fopen(errorFile.c_str(), "r");
  if (file == nullptr) {
    pane.AddLine(platform::localText("E: エラーファイルを開けない"), itemFor(target, -1));
    return;
  }
  char line[kErrorLineBuffer];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
      line[--length] = '\0';
      // Text mode, as on the platform the files come from: CR LF is a line end.
      if (length > 0 && line[length - 1] == '\r') line[--length] = '\0';
    }
    const char* shown = line;
    // From the third byte on, so that a drive letter's colon at the start of
    // the program name is passed over.
    if (length > 2) {
      if (const char* colon = std::strchr(line + 2, ':')) shown = colon + 1;
    }
    if (const char* name = std::strstr(shown, kIntermediateName)) {
      shown = name + std::strlen(kIntermediateName);
      if (*shown != '\0') ++shown;  // the ":" after the name, never the terminator
    }
    pane.AddLine(converter.toCodePage(shown), itemFor(target, leadingNumber(shown)));
  }
  std::fclose(file);
}

}  // namespace

RunSgml::~RunSgml() {
  stopAndWait();
}

int RunSgml::run(void* argument) {
  CheckJob& job = *static_cast<CheckJob*>(argument);
  ErrorPane& pane = *job.errorPane;
  pane.ClearLines();

  const std::string catalog = platform::programDataFolder() + "catalog";
  const std::string temp = tempDirectory();
  const std::string errorFile = temp + "$error.out";
  const std::string download = makeTempFileName("tvx");
  const std::string program = job.validatorPath.empty() ? platform::defaultValidatorProgram()
                                                        : "\"" + job.validatorPath + "\"";
  platform::EucJpConverter converter;

  for (CheckTarget* target : job.targets) {
    if (stopRequested.load()) break;
    pane.AddLine("-------- " + target->location, itemFor(target, -1));

    std::string intermediate;
    try {
      intermediate = intermediatePath(*target, temp);
      prepareInput(*target, intermediate, download);
    } catch (const ConvertException& failure) {
      pane.AddLine(std::string("E: ") + failure.what(), itemFor(target, -1));
      continue;
    }

    // Built without a fixed limit: long paths are never cut short. A quote in
    // a path (possible here, never on Windows) is escaped, so the validator
    // still gets the path whole.
    const std::string commandLine = program + " -c\"" + platform::quotedArgumentText(catalog) +
                                    "\" -f\"" + platform::quotedArgumentText(errorFile) +
                                    "\" -s \"" + platform::quotedArgumentText(intermediate) + "\"";
    std::remove(errorFile.c_str());
    const bool started = platform::runAndWait(commandLine, nullptr);
    std::remove(intermediate.c_str());
    if (!started) {
      pane.AddLine(platform::localText("E: nsgmls.exeが見つかりません"), nullptr);
      break;
    }
    if (stopRequested.load()) break;
    readErrorFile(errorFile, target, pane, converter);
  }

  pane.AddLine(platform::localText("検査終了"), nullptr);
  if (!download.empty()) std::remove(download.c_str());
  std::remove(errorFile.c_str());
  if (job.mainWindow != nullptr) job.mainWindow->postCheckDone();
  return 0;
}
