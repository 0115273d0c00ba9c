// tessavo-check's command line:
//
//   tessavo-check [--format text|gnu|json] [-j N | --jobs N]
//                 [--max-errors N] [--warnings-are-errors]
//                 [--validator PATH] [--html5-checker PATH]
//                 [--filter REGEX]... [--] TARGET...
//
// Options with a value take it as the next argument or after "=" (-j also
// as "-jN"). "--" ends the options; "-" alone is a target. A pure parser.
#ifndef TESSAVO_TOOLS_CHECKER_OPTIONS_H_
#define TESSAVO_TOOLS_CHECKER_OPTIONS_H_

#include <optional>
#include <string>
#include <vector>

#include "engine/check_job.h"
#include "tools/report_format.h"

struct CheckerOptions {
  OutputFormat format = OutputFormat::Text;
  std::optional<int> jobs;       // 1 to kMaxCheckJobs
  std::optional<int> maxErrors;  // 0 (no limit) or more
  bool warningsAreErrors = false;
  std::optional<std::string> validator;
  std::optional<std::string> html5Checker;  // vnu.jar; empty turns HTML5 checking off
  std::vector<std::string> filters;         // patterns, in the order given
  bool help = false;
  std::vector<std::string> targets;
};

// False, with `error` saying what is wrong, when the command line cannot be
// used. `arguments` are the program's arguments after its name.
bool parseCheckerOptions(const std::vector<std::string>& arguments, CheckerOptions& options,
                         std::string& error);

#endif  // TESSAVO_TOOLS_CHECKER_OPTIONS_H_
