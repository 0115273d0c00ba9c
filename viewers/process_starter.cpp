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
