#include "engine/run_sgml.h"

#include <cstdio>
#include <memory>

#include "engine/convert_exception.h"
#include "engine/error_file.h"
#include "engine/temp_paths.h"
#include "engine/validator_invocation.h"
#include "files/file_name.h"
#include "platform/child_process.h"
#include "platform/code_page.h"
#include "platform/file_handle.h"
#include "platform/file_system.h"
#include "platform/local_text.h"
#include "platform/run_folder.h"
#include "platform/validator_text.h"

namespace {

using End = platform::ChildOutcome::End;

std::unique_ptr<ErrorItem> itemFor(CheckTarget* target, int line) {
  return std::make_unique<ErrorItem>(ErrorItem{target, line});
}

// The folder whose files a local document's relative system identifiers
// name, absolute; empty for a download. On Linux only "/" separates; the
// Windows file-name rules (with "\") hold under CP932.
std::string documentFolder(const CheckTarget& target) {
  if (target.kind != TargetKind::File) return std::string();
  std::string folder;
  if (platform::currentCodePage() == platform::CodePage::Cp932) {
    folder = FileName(target.location).directory();
  } else {
    folder = target.location.substr(0, target.location.rfind('/') + 1);
  }
  return platform::absolutePath(folder.empty() ? std::string("./") : folder);
}

}  // namespace

RunSgml::~RunSgml() {
  stopAndWait();
}

int RunSgml::run(void* argument) {
  CheckJob& job = *static_cast<CheckJob*>(argument);
  ErrorPane& pane = *job.errorPane;
  pane.ClearLines();
  incomplete_.store(false);
  auto fail = [&](CheckTarget* target, const std::string& text) {
    pane.AddLine(platform::localText("E: ") + text, target ? itemFor(target, -1) : nullptr);
    incomplete_.store(true);
  };
  auto notFinished = [&](CheckTarget* target) {
    fail(target, platform::localText("検査を中断したため未完了"));
  };

  const std::string temp = tempDirectory();
  platform::RunFolder folder;
  if (!job.targets.empty()) {
    platform::RunFolder::sweepLeftovers(temp);
    if (!folder.create(temp)) {
      fail(nullptr, platform::localText("一時フォルダを作れない: ") + temp + ": " +
                        platform::errorText(folder.error()));
    }
  }
  const std::string copy = folder.path() + ValidatorInvocation::kCopyName;
  const std::string errorFile = folder.path() + ValidatorInvocation::kErrorName;
  const std::string download = folder.path().empty() ? "" : makeTempFileName(folder.path(), "tvx");
  const int timeout = job.validatorTimeout < 0 ? kDefaultValidatorTimeout : job.validatorTimeout;
  ValidatorInvocation validator(job.validatorPath, folder);
  platform::ValidatorText converter;

  for (CheckTarget* target : job.targets) {
    if (folder.path().empty() || stopRequested.load()) break;
    pane.AddLine("-------- " + target->location, itemFor(target, -1));

    kanji::DocumentAnalysis analysis;
    try {
      if (target->kind != TargetKind::File && target->kind != TargetKind::Http) {
        throw ConvertException(platform::localText("未知のスキーム"));
      }
      analysis = prepareInput(*target, copy, download, &stopRequested);
    } catch (const ConvertException& failure) {
      if (stopRequested.load()) {
        notFinished(target);
        break;
      }
      pane.AddLine(std::string("E: ") + failure.what(), itemFor(target, -1));
      if (failure.inRunFolder()) incomplete_.store(true);
      continue;
    }

    std::remove(errorFile.c_str());
    const platform::ChildOutcome outcome =
        validator.run(documentFolder(*target), validatorProfile(analysis), &stopRequested, timeout);
    // Asked before the copy goes, which may free the room the validator
    // lacked: an error file cut short leaves no other trace.
    const bool full = platform::isFileSystemFull(folder.path());
    std::remove(copy.c_str());
    if (outcome.end == End::NotStarted) {
      std::string text =
          platform::localText("nsgmls.exeが見つかりません: ") + validator.configured();
      if (!validator.program().empty()) text += ": " + platform::errorText(outcome.error);
      fail(nullptr, text);
      break;
    }
    if (outcome.end == End::Stopped || stopRequested.load()) {
      notFinished(target);
      break;
    }

    const int listed =
        listErrorFile(errorFile, validator.names(), analysis, target, pane, converter);
    const std::string program = validator.program() + ": ";
    switch (outcome.end) {
      case End::Signalled:
        fail(target, platform::localText("nsgmlsが異常終了: ") + program +
                         platform::signalName(outcome.status));
        break;
      case End::TimedOut:
        fail(target, platform::localText("nsgmlsが時間切れ: ") + program + std::to_string(timeout) +
                         platform::localText(" 秒"));
        break;
      default:
        // Exit status 1 with errors listed is the usual "the document has
        // errors"; anything else that lists nothing, or an exit status
        // above 1, is a validator that failed.
        if (outcome.status > 1 || (outcome.status == 1 && listed <= 0)) {
          fail(target, platform::localText("nsgmlsが失敗: ") + program +
                           platform::localText("終了コード ") + std::to_string(outcome.status));
        } else if (listed < 0) {
          fail(target, platform::localText("エラーファイルを開けない: ") + errorFile);
        }
        break;
    }
    if (full) {
      fail(target, platform::localText("一時フォルダに空きがない: ") + folder.path());
    }
  }

  pane.AddLine(platform::localText("検査終了"), nullptr);
  folder.remove();
  if (job.mainWindow != nullptr) job.mainWindow->postCheckDone();
  return 0;
}
