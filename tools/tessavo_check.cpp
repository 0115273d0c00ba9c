// tessavo-check: the check of the window, for terminals and CI.
//
//   tessavo-check [--validator PATH] TARGET...
//
// Collects the targets as the window would (folder scan, working-set file,
// file, URI), checks them with the same check run, and prints the error
// pane's lines to standard output. See usage() for the exit status.
//
// SIGINT, SIGTERM and SIGHUP stop the run as the window's stop command does:
// the running validator is ended, the target being checked gets a line
// saying so, the run's folder is removed, and the program then ends by the
// signal it got. A second signal ends it at once.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "engine/run_sgml.h"
#include "files/file_name.h"
#include "files/folder_scan.h"
#include "files/working_set_file.h"
#include "net/decimal_text.h"
#include "platform/profile_reader.h"
#include "platform/settings_location.h"
#include "platform/termination_signals.h"
#include "tools/console_pane.h"
#include "tools/target_list.h"

namespace {

// Not enough to run the check: a missing validator, or a command line or
// working-set file that cannot be used; or the validator or the temporary
// folder failed on a target.
constexpr int kCannotCheck = 2;

void usage(std::FILE* out) {
  std::fputs(
      "Usage: tessavo-check [--validator PATH] TARGET...\n"
      "\n"
      "Checks HTML and SGML documents with the SGML validator, as Tessavo's\n"
      "\"check all\" does, and prints the lines of its error pane: for every\n"
      "target a line \"-------- LOCATION\", then the validator's messages about it\n"
      "(line:column:kind: text) or one \"E: \" line when it could not be read,\n"
      "and finally \"検査終了\". UTF-8 documents are validated as UTF-8;\n"
      "Shift_JIS, EUC-JP, ISO-2022-JP and ASCII ones are converted to EUC-JP.\n"
      "XHTML is validated against the XHTML DTDs with the XML declaration, and\n"
      "HTML5 pages and pages without a doctype, which have no DTD to be\n"
      "validated against, get one line saying so.\n"
      "\n"
      "A TARGET that starts with a scheme of two or more letters and a colon\n"
      "(http:, https:, file:, ...) is a URI; anything else is a local path:\n"
      "  a folder           its .htm, .html, .shtml and .url files, recursively\n"
      "  a .tvx file        the targets of that working set (locations are used\n"
      "                     as stored: relative ones are relative to the current\n"
      "                     folder)\n"
      "  any other file     that file (a .url shortcut stands for its URL)\n"
      "Targets are checked in the order of Tessavo's file list (sorted by\n"
      "location, letter case ignored). A target that cannot be checked (a URI\n"
      "of another scheme, or a shortcut to one) is listed first, with an\n"
      "\"E: \" line that says why.\n"
      "\n"
      "Options:\n"
      "  --validator PATH   the validator program; without it the \"SP Location\"\n"
      "                     setting of Tessavo is used, and when that is empty\n"
      "                     nsgmls (or onsgmls) is looked up on PATH\n"
      "  --help             show this text\n"
      "\n"
      "A validator run that takes longer than Tessavo's \"ValidatorTimeout\"\n"
      "setting (seconds, 120 when not set, 0 for no limit) is ended.\n"
      "SIGINT, SIGTERM and SIGHUP stop the check: the running validator is ended\n"
      "and the target being checked is reported as not finished.\n"
      "\n"
      "Exit status: 0 when no target produced a validator message or an \"E: \"\n"
      "line; 1 when some did, or a target could not be checked; 2 when the check\n"
      "could not be carried out (the validator cannot be started, failed, was\n"
      "killed or ran out of time, the temporary folder is full, a working-set file\n"
      "cannot be read, or the command line is wrong).\n",
      out);
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
    AddFolder(argument.back() == '/' ? argument : argument + "/", targets);
    return true;
  }
  if (FileName(argument).extension(true) == "tvx") {
    if (readWorkingSet(argument, targets)) return true;
    std::fprintf(stderr, "tessavo-check: %s: not a readable working-set file\n", argument.c_str());
    return false;
  }
  targets.AddFile(argument);
  return true;
}

// The "ValidatorTimeout" setting: a whole number of seconds, or the default
// when it is absent or not a number.
int validatorTimeoutSetting() {
  const std::string text =
      platform::readProfileString(platform::settingsFilePath(), "Settings", "ValidatorTimeout", "",
                                  platform::ProfileDialect::WxFileConfig);
  std::size_t digits = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  if (digits == text.size()) return kDefaultValidatorTimeout;
  for (std::size_t i = digits; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return kDefaultValidatorTimeout;
  }
  return net::leadingDecimal(text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  // Before any thread exists, so that every thread leaves the signals to it.
  platform::TerminationSignals signals;

  bool validatorGiven = false;
  std::string validator;
  std::vector<std::string> arguments;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      arguments.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (argument == "--help" || argument == "-h") {
      usage(stdout);
      return 0;
    } else if (argument == "--validator" && i + 1 < argc) {
      validator = argv[++i];
      validatorGiven = true;
    } else if (argument.rfind("--validator=", 0) == 0) {
      validator = argument.substr(std::strlen("--validator="));
      validatorGiven = true;
    } else {
      std::fprintf(stderr, "tessavo-check: unknown option %s\n\n", argument.c_str());
      usage(stderr);
      return kCannotCheck;
    }
  }
  if (arguments.empty()) {
    usage(stderr);
    return kCannotCheck;
  }
  if (!validatorGiven) {
    validator = platform::readProfileString(platform::settingsFilePath(), "Settings", "SP Location",
                                            "", platform::ProfileDialect::WxFileConfig);
  }

  TargetList targets;
  for (const std::string& argument : arguments) {
    if (!addTarget(argument, targets)) return kCannotCheck;
  }
  targets.sortLikeFilePane();

  ConsolePane pane(stdout);
  // A target that cannot be checked is an error of its own, never a silent
  // gap in the list.
  for (const TargetList::Refusal& refusal : targets.refusals()) {
    pane.AddLine("-------- " + refusal.text, std::make_unique<ErrorItem>(ErrorItem{nullptr, -1}));
    pane.AddLine("E: " + refusal.reason, std::make_unique<ErrorItem>(ErrorItem{nullptr, -1}));
  }
  pane.setDoneCallback([&signals] { signals.wake(); });
  CheckJob job;
  job.mainWindow = &pane;
  job.errorPane = &pane;
  job.targets = targets.pointers();
  job.validatorPath = validator;
  job.validatorTimeout = validatorTimeoutSetting();

  RunSgml run;
  if (!run.start(&job)) {
    std::fputs("tessavo-check: cannot start the checking thread\n", stderr);
    return kCannotCheck;
  }
  // Woken by the end of the run or by a signal. After a signal the run is
  // stopped and waited for; a second signal does not wait.
  const int stoppedBy = signals.wait();
  if (stoppedBy != 0) {
    run.stop();
    const int again = signals.wait();
    if (again != 0) platform::TerminationSignals::endProcessBy(again);
  }
  // The end-of-run notice is the run's very last action, after its folder
  // is gone; destroying `run` on return only reaps the thread.
  pane.waitUntilDone();
  if (stoppedBy != 0) platform::TerminationSignals::endProcessBy(stoppedBy);
  if (run.incomplete()) return kCannotCheck;
  return pane.sawTargetError() ? 1 : 0;
}
