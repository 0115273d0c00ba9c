#include "engine/target_checker.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "engine/convert_exception.h"
#include "engine/html5_messages.h"
#include "engine/run_sgml.h"
#include "engine/temp_paths.h"
#include "files/file_name.h"
#include "platform/child_process.h"
#include "platform/code_page.h"
#include "platform/file_handle.h"
#include "platform/file_system.h"
#include "platform/local_text.h"

namespace {

using End = platform::ChildOutcome::End;

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

TargetChecker::TargetChecker(const CheckJob& job, const platform::RunFolder& run,
                             const std::string& name)
    : keptPrefix_(run.path() + "listed-" + name + "-"),
      timeout_(job.validatorTimeout < 0 ? kDefaultValidatorTimeout : job.validatorTimeout),
      html5Checker_(job.html5Checker) {
  if (html5Checker_ != nullptr) html5_ = std::make_unique<Html5Invocation>(*html5Checker_);
  if (!folder_.createWithin(run, name)) {
    folderFailure_ = platform::localText("一時フォルダを作れない: ") + run.path() + name + ": " +
                     platform::errorText(folder_.error());
    return;
  }
  copy_ = folder_.path() + ValidatorInvocation::kCopyName;
  errorFile_ = folder_.path() + ValidatorInvocation::kErrorName;
  download_ = makeTempFileName(folder_.path(), "tvx");
  validator_ = std::make_unique<ValidatorInvocation>(job.validatorPath, folder_, job.maxErrors);
}

TargetReport TargetChecker::check(const CheckTarget& target, const std::atomic<bool>& stop) {
  TargetReport report;
  report.target = &target;
  report.location = target.location;
  report.reached = true;
  report.state = TargetState::Checked;
  auto line = [&report](const std::string& text) {
    report.lines.push_back(ReportLine{text, true, -1});
  };
  auto fail = [&report, &line](const std::string& text) {
    line(platform::localText("E: ") + text);
    report.state = TargetState::NotChecked;
    report.incomplete = true;
  };
  auto notFinished = [&report, &fail] {
    fail(platform::localText("検査を中断したため未完了"));
    report.state = TargetState::Stopped;
  };
  if (!validator_) {
    fail(folderFailure_);
    return report;
  }

  kanji::DocumentAnalysis analysis;
  std::string contentType;
  try {
    if (target.kind != TargetKind::File && target.kind != TargetKind::Http) {
      throw ConvertException(platform::localText("未知のスキーム"));
    }
    analysis = RunSgml::prepareInput(target, copy_, download_, &stop, &contentType);
  } catch (const ConvertException& failure) {
    if (stop.load()) {
      notFinished();
      return report;
    }
    line(std::string("E: ") + failure.what());
    report.state = TargetState::NotChecked;
    report.incomplete = failure.inRunFolder();
    return report;
  }
  report.analysis = analysis;

  // Why a page for the HTML5 checker goes to the SGML validator instead.
  std::string html5Unavailable;
  if (goesToHtml5Checker(analysis) && html5Checker_ != nullptr) {
    html5Unavailable = html5Checker_->unavailableReason();
    if (html5Unavailable.empty()) {
      std::remove(copy_.c_str());
      report.checkedBy = CheckedBy::Html5Checker;
      const Html5Answer answer =
          html5_->check(target.kind == TargetKind::Http ? download_ : target.location,
                        html5ContentType(analysis, contentType), stop, timeout_);
      if (answer.end == Html5Answer::End::Stopped) {
        notFinished();
      } else if (answer.end == Html5Answer::End::Failed) {
        fail(answer.failure);
      } else {
        const Html5Listing listing = listHtml5Messages(answer.json, report.lines, converter_);
        if (!listing.readable) {
          fail(platform::localText("HTML5 チェッカーの応答を読めない: ") +
               answer.json.substr(0, 80));
        } else if (listing.nonDocumentError) {
          report.state = TargetState::NotChecked;
        }
      }
      return report;
    }
  }

  std::remove(errorFile_.c_str());
  const platform::ChildOutcome outcome =
      validator_->run(documentFolder(target), validatorProfile(analysis), &stop, timeout_);
  // Asked before the copy goes, which may free the room the validator
  // lacked: an error file cut short leaves no other trace.
  const bool full = platform::isFileSystemFull(folder_.path());
  std::remove(copy_.c_str());
  if (outcome.end == End::NotStarted) {
    std::string text =
        platform::localText("nsgmls.exeが見つかりません: ") + validator_->configured();
    if (!validator_->program().empty()) text += ": " + platform::errorText(outcome.error);
    fail(text);
    // The one line that leads to no target: the validator, not the
    // document, is at fault.
    report.lines.back().hasItem = false;
    report.endsRun = true;
    return report;
  }
  if (outcome.end == End::Stopped || stop.load()) {
    notFinished();
    return report;
  }

  // A file cut short by a full folder holds pieces of messages ("80:",
  // "$c"), and which ones are whole cannot be told: it is not listed, and
  // the target says why. Otherwise the lines stay in the error file, which
  // the run lists when it hands the report over. The file moves into the
  // run's folder: the checker's own goes with the checker, which may end
  // first. Only whether the validator wrote anything is asked here.
  report.checkedBy = CheckedBy::SgmlValidator;
  int listed = 0;
  if (!full) {
    const std::string kept = keptPrefix_ + std::to_string(++listedFiles_);
    std::error_code sizeError;
    const std::uintmax_t written = std::filesystem::file_size(errorFile_, sizeError);
    listed = written > 0 ? 1 : 0;
    if (sizeError || std::rename(errorFile_.c_str(), kept.c_str()) != 0) listed = -1;
    if (listed >= 0) {
      report.validatorLines =
          TargetReport::ValidatorLines{kept, validator_->names(), html5Unavailable};
    }
  }
  const std::string program = validator_->program() + ": ";
  switch (outcome.end) {
    case End::Signalled:
      fail(platform::localText("nsgmlsが異常終了: ") + program +
           platform::signalName(outcome.status));
      break;
    case End::TimedOut:
      fail(platform::localText("nsgmlsが時間切れ: ") + program + std::to_string(timeout_) +
           platform::localText(" 秒"));
      break;
    default:
      // Exit status 1 with errors listed is the usual "the document has
      // errors"; anything else that lists nothing, or an exit status
      // above 1, is a validator that failed.
      if (outcome.status > 1 || (outcome.status == 1 && listed <= 0)) {
        fail(platform::localText("nsgmlsが失敗: ") + program + platform::localText("終了コード ") +
             std::to_string(outcome.status));
      } else if (listed < 0) {
        fail(platform::localText("エラーファイルを開けない: ") + errorFile_);
      }
      break;
  }
  if (full) fail(platform::localText("一時フォルダに空きがない: ") + folder_.path());
  return report;
}
