#include "engine/run_sgml.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/error_file.h"
#include "engine/html5_checker.h"
#include "engine/message_filter.h"
#include "engine/ordered_checks.h"
#include "engine/resource_failure.h"
#include "engine/temp_paths.h"
#include "platform/file_handle.h"
#include "platform/local_text.h"
#include "platform/run_folder.h"

namespace {

std::unique_ptr<ErrorItem> itemFor(CheckTarget* target, int line) {
  return std::make_unique<ErrorItem>(ErrorItem{target, line});
}

}  // namespace

RunSgml::~RunSgml() {
  stopAndWait();
}

void RunSgml::handOver(const CheckJob& job, CheckTarget* target, TargetReport&& report,
                       platform::ValidatorText& converter) {
  ErrorPane& pane = *job.errorPane;
  CheckObserver* observer = job.observer;
  std::vector<ReportLine> own = std::move(report.lines);
  report.lines.clear();
  std::optional<TargetReport::ValidatorLines> validatorLines = std::move(report.validatorLines);
  report.validatorLines.reset();
  if (observer != nullptr) observer->targetBegun(report);
  // A page meant for the HTML5 checker that the validator checked instead
  // says why on its notice about the missing DTD: the first note of a line.
  std::string html5Unavailable = validatorLines ? validatorLines->html5Unavailable : "";
  const std::string note = "I: ";
  auto give = [&](ReportLine&& line) {
    if (job.messageFilter != nullptr && job.messageFilter->drops(line)) return;
    if (!html5Unavailable.empty() && line.itemLine >= 0 &&
        line.text.compare(0, note.size(), note) == 0) {
      line.text += ": " + html5Unavailable;
      html5Unavailable.clear();
    }
    pane.AddLine(line.text, line.hasItem ? itemFor(target, line.itemLine) : nullptr);
    if (observer != nullptr) observer->targetLine(line);
  };
  try {
    if (validatorLines) {
      listErrorFile(validatorLines->errorFile, validatorLines->names, *report.analysis, give,
                    converter);
      std::remove(validatorLines->errorFile.c_str());
    }
  } catch (const std::exception& failure) {
    // The lines given so far stay; the target says why the rest is missing.
    own.insert(own.begin(),
               ReportLine{platform::localText("E: ") + resourceFailureText(failure), true, -1});
    report.state = TargetState::NotChecked;
    report.incomplete = true;
  }
  for (ReportLine& line : own) give(std::move(line));
  if (report.incomplete) incomplete_.store(true);
  if (observer != nullptr) observer->targetEnded(report);
}

int RunSgml::run(void* argument) {
  CheckJob& job = *static_cast<CheckJob*>(argument);
  ErrorPane& pane = *job.errorPane;
  pane.ClearLines();
  incomplete_.store(false);

  platform::TempFolderFailure tempFailure;
  const std::string temp = tempDirectory(&tempFailure);
  platform::RunFolder folder;
  std::size_t reported = 0;
  bool failed = false;
  auto runLine = [&job, &pane](const std::string& line) {
    pane.AddLine(line, nullptr);
    if (job.observer != nullptr) job.observer->runLine(line);
  };
  if (!job.targets.empty()) {
    if (job.html5Checker != nullptr) job.html5Checker->beginRun();
    platform::RunFolder::sweepLeftovers(temp);
    if (folder.create(temp)) {
      platform::ValidatorText converter;
      OrderedCheckCallbacks callbacks;
      callbacks.started = [&job, &pane](std::size_t index) {
        CheckTarget* target = job.targets[index];
        pane.AddLine("-------- " + target->location, itemFor(target, -1));
      };
      callbacks.done = [this, &job, &reported, &converter](TargetReport&& report) {
        handOver(job, job.targets[reported++], std::move(report), converter);
      };
      try {
        checkInOrder(job, folder, stopRequested, callbacks);
      } catch (const std::exception& failure) {
        // Whatever failed (memory, most likely) ends the run, never the
        // program: the rest is reported as not checked and the folder goes.
        failed = true;
        incomplete_.store(true);
        runLine(platform::localText("E: ") + resourceFailureText(failure));
      }
    } else {
      // Without a temporary folder, the folder that could not be made.
      runLine(platform::localText("E: 一時フォルダを作れない: ") +
              (temp.empty() ? tempFailure.folder : temp) + ": " +
              platform::errorText(temp.empty() ? tempFailure.error : folder.error()));
      incomplete_.store(true);
    }
  }
  // The targets the run did not get to: after a stop, or after a validator
  // that could not be started.
  if (job.observer != nullptr) {
    for (std::size_t index = reported; index < job.targets.size(); ++index) {
      TargetReport report;
      report.target = job.targets[index];
      report.location = report.target->location;
      report.state =
          stopRequested.load() && !failed ? TargetState::Stopped : TargetState::NotChecked;
      job.observer->targetBegun(report);
      job.observer->targetEnded(report);
    }
  }

  pane.AddLine(platform::localText("検査終了"), nullptr);
  folder.remove();
  if (job.mainWindow != nullptr) job.mainWindow->postCheckDone();
  return 0;
}
