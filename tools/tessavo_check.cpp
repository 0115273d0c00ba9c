// tessavo-check: the check of the window, for terminals and CI.
//
//   tessavo-check [OPTION]... TARGET...
//
// Collects the targets as the window would (folder scan, working-set file,
// file, URI), checks them with the same check run, several at once, and
// prints the error pane's lines, or the run's reports in a format for
// editors and CI (tools/report_format.h), to standard output. See usage()
// for the options and the exit status (tools/run_tally.h).
//
// SIGINT, SIGTERM and SIGHUP stop the run as the window's stop command does:
// the running validator is ended, the target being checked gets a line
// saying so, the run's folder is removed, and the program then ends by the
// signal it got. A reader of the output that goes away (`| head`) stops it
// the same way, and it ends by SIGPIPE. A second signal does not wait for
// the stop longer than a stop takes (a second): the output is finished with
// what was reported, so a json document stays whole.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/html5_checker.h"
#include "engine/message_filter.h"
#include "engine/resource_failure.h"
#include "engine/run_sgml.h"
#include "files/file_name.h"
#include "files/folder_scan.h"
#include "files/working_set_file.h"
#include "net/decimal_text.h"
#include "platform/file_handle.h"
#include "platform/file_system.h"
#include "platform/local_text.h"
#include "platform/profile_reader.h"
#include "platform/settings_location.h"
#include "platform/termination_signals.h"
#include "tools/checker_options.h"
#include "tools/checker_output.h"
#include "tools/console_pane.h"
#include "tools/control_escape.h"
#include "tools/report_format.h"
#include "tools/run_tally.h"
#include "tools/target_list.h"

namespace {

void usage(std::FILE* out) {
  std::fprintf(out,
               "Usage: tessavo-check [OPTION]... TARGET...\n"
               "\n"
               "Checks HTML and SGML documents as Tessavo's \"check all\" does. A\n"
               "document that names a DTD goes to the SGML validator: UTF-8 documents\n"
               "are validated as UTF-8; Shift_JIS, EUC-JP, ISO-2022-JP and ASCII ones\n"
               "are converted to EUC-JP; XHTML is validated against the XHTML DTDs with\n"
               "the XML declaration. HTML5 pages (<!DOCTYPE html>) and pages without a\n"
               "doctype go to the HTML5 checker (vnu.jar on Java), as they are; with\n"
               "that checker turned off or missing they get one line saying so and why.\n"
               "\n"
               "A TARGET that starts with a scheme of two or more letters and a colon\n"
               "(http:, https:, file:, ...) is a URI; anything else is a local path:\n"
               "  a folder           its .htm, .html, .shtml and .url files, recursively\n"
               "  a .tvx file        the targets of that working set (locations are used\n"
               "                     as stored: relative ones are relative to the current\n"
               "                     folder)\n"
               "  any other file     that file (a .url shortcut stands for its URL)\n"
               "Targets are listed in the order of Tessavo's file list (sorted by\n"
               "location, letter case ignored), whatever the number of jobs. A target\n"
               "that cannot be checked at all (a URI of another scheme, or a shortcut to\n"
               "one) is listed first, with an \"E: \" line that says why.\n"
               "\n"
               "Options:\n"
               "  --format FORMAT    how the results are written:\n"
               "                       text  the lines of Tessavo's error pane (the\n"
               "                             default): for every target \"-------- LOCATION\",\n"
               "                             then the validator's messages about it\n"
               "                             (line:column:kind: text) or an \"E: \" line when\n"
               "                             it could not be checked; \"検査終了\" at the end\n"
               "                       gnu   one line per message, as compilers write them:\n"
               "                             FILE:LINE:COLUMN: error|warning|info: MESSAGE\n"
               "                             (FILE: error: MESSAGE without a position)\n"
               "                       json  one JSON document with every target, its\n"
               "                             state, encoding and messages, and a summary\n"
               "  -j, --jobs N       check N targets at once (default: the number of\n"
               "                     processor cores, here %d); the output is the same\n"
               "  --max-errors N     have the validator stop after N errors in a document\n"
               "                     (0: no limit); without it Tessavo's \"MaxErrors\"\n"
               "                     setting holds, and without that the validator's own\n"
               "                     limit (200)\n"
               "  --warnings-are-errors\n"
               "                     let warnings (W) give exit status 1 as errors do\n"
               "  --validator PATH   the validator program; without it the \"SP Location\"\n"
               "                     setting of Tessavo is used, and when that is empty\n"
               "                     nsgmls (or onsgmls) is looked up on PATH\n"
               "  --html5-checker PATH\n"
               "                     the HTML5 checker's vnu.jar; an empty PATH turns\n"
               "                     HTML5 checking off. Without it Tessavo's\n"
               "                     \"HTML5Checker\" setting holds, and without that the\n"
               "                     vnu.jar installed with Tessavo; Java is the\n"
               "                     \"Java\" setting, or java on PATH\n"
               "  --filter REGEX     drop the messages whose line (as the text format\n"
               "                     shows it) REGEX matches; may be repeated. The\n"
               "                     patterns in the file named by Tessavo's\n"
               "                     \"MessageFilter\" setting (one per line) apply too.\n"
               "                     Dropped messages are neither shown nor counted\n"
               "  --help             show this text\n"
               "\n"
               "A validator run, or an HTML5 check of one page, that takes longer than\n"
               "Tessavo's \"ValidatorTimeout\" setting (seconds, 120 when not set, 0 for\n"
               "no limit) is ended.\n"
               "SIGINT, SIGTERM and SIGHUP stop the check: the running validators are\n"
               "ended and the targets being checked are reported as not finished.\n"
               "\n"
               "Exit status:\n"
               "  0  every target was checked, and none has an error message\n"
               "  1  every target was checked, and some have error messages (E, and Q\n"
               "     and X, the validator's other errors; W too with\n"
               "     --warnings-are-errors)\n"
               "  2  some target could not be checked (unsupported scheme, download\n"
               "     failed, unreadable, the validator or the HTML5 checker failed or\n"
               "     could not start, the check was stopped), there was no target at\n"
               "     all, or the command line, a message filter or a working-set file\n"
               "     cannot be used\n",
               defaultCheckJobs());
}

bool startsWithScheme(const std::string& text) {
  auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  std::size_t letters = 0;
  while (letters < text.size() && isLetter(text[letters])) ++letters;
  return letters >= 2 && letters < text.size() && text[letters] == ':';
}

// Adds one command-line target; false when a working-set file cannot be read.
bool addTarget(const std::string& argument, TargetList& targets) {
  if (startsWithScheme(argument)) {
    targets.AddUri(argument);
    return true;
  }
  if (isDirectory(argument.c_str())) {
    AddFolder(platform::withFolderSeparator(argument), targets);
    return true;
  }
  if (FileName(argument).extension(true) == "tvx") {
    if (readWorkingSet(argument, targets)) return true;
    std::fprintf(stderr, "tessavo-check: %s: not a readable working-set file\n",
                 escapeControlCharacters(argument).c_str());
    return false;
  }
  targets.AddFile(argument);
  return true;
}

// A text setting of the window ("Settings" group), or `fallback` when it is
// absent.
std::string settingText(const char* name, const std::string& fallback) {
  return platform::readProfileString(platform::settingsFilePath(), "Settings", name, fallback,
                                     platform::ProfileDialect::WxFileConfig);
}

// A whole-number setting of the window, or `fallback` when it is absent or
// not a number.
int integerSetting(const char* name, int fallback) {
  const std::string text = settingText(name, std::string());
  std::size_t digits = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  if (digits == text.size()) return fallback;
  for (std::size_t i = digits; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return fallback;
  }
  return net::leadingDecimal(text.c_str());
}

// The patterns of the "MessageFilter" setting's file, then those of the
// command line; false, with `error` set, when one cannot be used.
bool buildMessageFilter(const CheckerOptions& options, MessageFilter& filter, std::string& error) {
  const std::string file = settingText("MessageFilter", std::string());
  if (!file.empty() && !filter.addFile(file, &error)) return false;
  for (const std::string& pattern : options.filters) {
    if (!filter.add(pattern, &error)) return false;
  }
  return true;
}

// Everything main does; may throw when memory runs out outside the run.
int checkTargets(int argc, char** argv) {
  CheckerOptions options;
  std::string error;
  if (!parseCheckerOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "tessavo-check: %s\n\n", error.c_str());
    usage(stderr);
    return kExitCannotCheck;
  }
  if (options.help) {
    usage(stdout);
    return kExitClean;
  }
  if (options.targets.empty()) {
    usage(stderr);
    return kExitCannotCheck;
  }

  MessageFilter filter;
  if (!buildMessageFilter(options, filter, error)) {
    std::fprintf(stderr, "tessavo-check: %s\n", error.c_str());
    return kExitCannotCheck;
  }

  TargetList targets;
  for (const std::string& argument : options.targets) {
    if (!addTarget(argument, targets)) return kExitCannotCheck;
  }
  targets.sortLikeFilePane();
  // The run still writes its closing line; the exit status is 2.
  if (targets.size() == 0 && targets.refusals().empty()) {
    std::fputs("tessavo-check: no target to check in the arguments given\n", stderr);
  }

  // Until here the signals keep their default action: collecting the
  // targets leaves nothing behind, so a signal ends the program at once,
  // whatever it is reading. From here on they stop the run in order. Before
  // any thread exists, so that every thread leaves the signals to it.
  platform::TerminationSignals signals;
  ConsolePane pane(options.format == OutputFormat::Text ? stdout : nullptr);
  pane.setDoneCallback([&signals] { signals.wake(); });
  CheckerOutput output(makeReportFormat(options.format, stdout), options.warningsAreErrors);
  // A target that cannot be checked is an error of its own, never a silent
  // gap in the list.
  for (const TargetList::Refusal& refusal : targets.refusals()) {
    TargetReport report;
    report.location = refusal.text;
    report.reached = true;
    report.lines.push_back(ReportLine{"E: " + refusal.reason, true, -1});
    pane.AddLine("-------- " + report.location,
                 std::make_unique<ErrorItem>(ErrorItem{nullptr, -1}));
    pane.AddLine(report.lines[0].text, std::make_unique<ErrorItem>(ErrorItem{nullptr, -1}));
    output.targetReported(report);
  }
  CheckJob job;
  job.mainWindow = &pane;
  job.errorPane = &pane;
  job.observer = &output;
  job.targets = targets.pointers();
  job.validatorPath =
      options.validator ? *options.validator : settingText("SP Location", std::string());
  job.validatorTimeout = integerSetting("ValidatorTimeout", kDefaultValidatorTimeout);
  job.jobs = options.jobs ? *options.jobs : defaultCheckJobs();
  job.maxErrors =
      options.maxErrors ? *options.maxErrors : integerSetting("MaxErrors", kValidatorsOwnMaxErrors);
  if (job.maxErrors < 0) job.maxErrors = kValidatorsOwnMaxErrors;

  Html5CheckerSettings html5Settings = html5CheckerSettingsFromProfile();
  if (options.html5Checker) html5Settings.jar = *options.html5Checker;
  // Declared before the run, so that it outlives the run's workers; ended
  // with the run, also when a signal ends the program.
  Html5Checker html5(html5Settings);
  job.html5Checker = &html5;
  job.messageFilter = filter.empty() ? nullptr : &filter;

  RunSgml run;
  if (!run.start(&job)) {
    std::fputs("tessavo-check: cannot start the checking thread\n", stderr);
    output.finish();  // a json document begun stays whole
    return kExitCannotCheck;
  }
  // Woken by the end of the run or by a signal. After a signal the run is
  // stopped and waited for; after a second one, only as long as a stop
  // takes. Validators still running then end with the program.
  const int stoppedBy = signals.wait();
  if (stoppedBy != 0) {
    run.stop();
    const int again = signals.wait();
    if (again != 0 && !pane.waitUntilDone(std::chrono::seconds(1))) {
      output.finish();
      html5.end();
      platform::TerminationSignals::endProcessBy(again);
    }
  }
  // The end-of-run notice is the run's very last action, after its folder
  // is gone; destroying `run` on return only reaps the thread.
  pane.waitUntilDone();
  // Written also after a signal, so that a json document is whole.
  int status = output.finish();
  html5.end();
  // As the window's status bar says it; on standard error, so that the
  // output stays in its format.
  std::fprintf(stderr, "%s\n", output.summaryText(stoppedBy != 0).c_str());
  // Output that could not be written (a full disk) is no result at all. A
  // reader that went away stopped the run and is told nothing.
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  if (stoppedBy == 0 && (!flushed || std::ferror(stdout))) {
    // An earlier write's reason is gone unless the last flush fails too.
    const std::string reason = !flushed && errno != 0 ? ": " + platform::errorText(errno) : "";
    std::fprintf(stderr, "tessavo-check: E: %s%s\n",
                 platform::localText("出力を書けない: 標準出力").c_str(), reason.c_str());
    status = kExitCannotCheck;
  }
  if (stoppedBy != 0) platform::TerminationSignals::endProcessBy(stoppedBy);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return checkTargets(argc, argv);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "tessavo-check: E: %s\n", resourceFailureText(failure).c_str());
    return kExitCannotCheck;
  }
}
