#include "viewers/process_starter.h"

#include "platform/process.h"

namespace {

class SystemProcessStarter : public ProcessStarter {
 public:
  bool start(const std::string& commandLine) override {
    return platform::startDetached(commandLine);
  }
};

}  // namespace

ProcessStarter& systemProcessStarter() {
  static SystemProcessStarter starter;
  return starter;
}

bool DesktopShellOpener::open(const std::string& location) {
  return starter_.start("xdg-open " + quoteArgument(location));
}

ShellOpener& systemShellOpener() {
  static DesktopShellOpener opener(systemProcessStarter());
  return opener;
}

std::string quoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::string::size_type backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else if (c == '"') {
      quoted.append(backslashes + 1, '\\');
      backslashes = 0;
    } else {
      backslashes = 0;
    }
    quoted += c;
  }
  // Backslashes that end the argument would escape the closing quote.
  quoted.append(backslashes, '\\');
  quoted += '"';
  return quoted;
}
