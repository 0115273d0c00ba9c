#include "engine/run_sgml.h"

#include <memory>
#include <utility>

#include "engine/html5_checker.h"
#include "engine/ordered_checks.h"
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

int RunSgml::run(void* argument) {
  CheckJob& job = *static_cast<CheckJob*>(argument);
  ErrorPane& pane = *job.errorPane;
  pane.ClearLines();
  incomplete_.store(false);

  const std::string temp = tempDirectory();
  platform::RunFolder folder;
  std::size_t reported = 0;
  if (!job.targets.empty()) {
    if (job.html5Checker != nullptr) job.html5Checker->beginRun();
    platform::RunFolder::sweepLeftovers(temp);
    if (folder.create(temp)) {
      OrderedCheckCallbacks callbacks;
      callbacks.started = [&job, &pane](std::size_t index) {
        CheckTarget* target = job.targets[index];
        pane.AddLine("-------- " + target->location, itemFor(target, -1));
      };
      callbacks.done = [this, &job, &pane, &reported](TargetReport&& report) {
        CheckTarget* target = job.targets[reported++];
        for (ReportLine& line : report.lines) {
          pane.AddLine(line.text, line.hasItem ? itemFor(target, line.itemLine) : nullptr);
        }
        if (report.incomplete) incomplete_.store(true);
        if (job.observer != nullptr) job.observer->targetReported(report);
      };
      checkInOrder(job, folder, stopRequested, callbacks);
    } else {
      const std::string line = platform::localText("E: 一時フォルダを作れない: ") + temp + ": " +
                               platform::errorText(folder.error());
      pane.AddLine(line, nullptr);
      if (job.observer != nullptr) job.observer->runLine(line);
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
      report.state = stopRequested.load() ? TargetState::Stopped : TargetState::NotChecked;
      job.observer->targetReported(report);
    }
  }

  pane.AddLine(platform::localText("検査終了"), nullptr);
  folder.remove();
  if (job.mainWindow != nullptr) job.mainWindow->postCheckDone();
  return 0;
}
