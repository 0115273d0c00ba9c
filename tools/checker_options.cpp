#include "tools/checker_options.h"

namespace {

// A whole number from `low` to `high` written in decimal digits alone.
std::optional<int> numberIn(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

}  // namespace

bool parseCheckerOptions(const std::vector<std::string>& arguments, CheckerOptions& options,
                         std::string& error) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
      options.targets.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      continue;
    }
    if (argument == "--warnings-are-errors") {
      options.warningsAreErrors = true;
      continue;
    }
    // The options that take a value: its name, and the value given with
    // "=", run on ("-j4"), or as the next argument.
    std::string name = argument;
    std::optional<std::string> value;
    const std::size_t equals = argument.find('=');
    if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    } else if (argument.rfind("-j", 0) == 0 && argument.size() > 2) {
      name = "-j";
      value = argument.substr(2);
    }
    if (name != "--format" && name != "-j" && name != "--jobs" && name != "--max-errors" &&
        name != "--validator" && name != "--html5-checker" && name != "--filter") {
      error = "unknown option " + argument;
      return false;
    }
    if (!value) {
      if (i + 1 == arguments.size()) {
        error = "option " + name + " needs a value";
        return false;
      }
      value = arguments[++i];
    }
    if (name == "--format") {
      if (*value == "text") {
        options.format = OutputFormat::Text;
      } else if (*value == "gnu") {
        options.format = OutputFormat::Gnu;
      } else if (*value == "json") {
        options.format = OutputFormat::Json;
      } else {
        error = "--format takes text, gnu or json, not \"" + *value + "\"";
        return false;
      }
    } else if (name == "--validator") {
      options.validator = *value;
    } else if (name == "--html5-checker") {
      options.html5Checker = *value;
    } else if (name == "--filter") {
      options.filters.push_back(*value);
    } else if (name == "--max-errors") {
      options.maxErrors = numberIn(*value, 0, 999999999);
      if (!options.maxErrors) {
        error = "--max-errors takes a whole number, 0 for no limit, not \"" + *value + "\"";
        return false;
      }
    } else {
      options.jobs = numberIn(*value, 1, kMaxCheckJobs);
      if (!options.jobs) {
        error = name + " takes a number from 1 to " + std::to_string(kMaxCheckJobs) + ", not \"" +
                *value + "\"";
        return false;
      }
    }
  }
  return true;
}
