#include "viewers/process_starter.h"

#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_handle.h"
#include "platform/local_text.h"
#include "platform/process.h"

namespace {

// How long a started program is watched for a failure. The desktop's
// handler gives up within a second when it finds nothing to open with; an
// editor or browser that lives longer has started.
constexpr int kWatchMilliseconds = 5000;

// What the desktop's handler means by its exit statuses.
const char* desktopHandlerStatus(int status) {
  switch (status) {
    case 1:
      return "コマンドラインの誤り";
    case 2:
      return "ファイルがありません";
    case 3:
      return "開くためのプログラムが見つかりません";
    case 4:
      return "開けませんでした";
    default:
      return nullptr;
  }
}

// The program's name as the command line gives it.
std::string programName(const std::string& commandLine) {
  const std::vector<std::string> arguments = platform::splitCommandLine(commandLine);
  return arguments.empty() ? std::string() : arguments.front();
}

bool failedAtStart(const platform::ChildOutcome& outcome) {
  using End = platform::ChildOutcome::End;
  return outcome.end == End::NotStarted || outcome.end == End::Signalled ||
         (outcome.end == End::Exited && outcome.status != 0);
}

class SystemProcessStarter : public ProcessStarter {
 public:
  void start(const std::string& commandLine, StartFailure failed) override {
    if (!failed) {
      platform::startDetached(commandLine);
      return;
    }
    const auto watch = [commandLine, failed] {
      const platform::ChildOutcome outcome =
          platform::startWatched(commandLine, kWatchMilliseconds);
      if (failedAtStart(outcome)) failed(startFailureReason(programName(commandLine), outcome));
    };
    try {
      std::thread(watch).detach();
    } catch (const std::system_error&) {
      // No thread to watch with: a start that fails at once is still told.
      const platform::ChildOutcome outcome = platform::startWatched(commandLine, 0);
      if (outcome.end == platform::ChildOutcome::End::NotStarted) {
        failed(startFailureReason(programName(commandLine), outcome));
      }
    }
  }
};

}  // namespace

std::string startFailureReason(const std::string& program, const platform::ChildOutcome& outcome) {
  using End = platform::ChildOutcome::End;
  std::string reason = program + ": ";
  if (outcome.end == End::NotStarted) return reason + platform::errorText(outcome.error);
  if (outcome.end == End::Signalled) {
    return reason + platform::localText("シグナル ") + platform::signalName(outcome.status) +
           platform::localText(" で終了");
  }
  reason += platform::localText("終了コード ") + std::to_string(outcome.status);
  const std::size_t slash = program.rfind('/');
  const char* meaning = program.substr(slash == std::string::npos ? 0 : slash + 1) == "xdg-open"
                            ? desktopHandlerStatus(outcome.status)
                            : nullptr;
  if (meaning != nullptr) reason += " (" + platform::localText(meaning) + ")";
  return reason;
}

ProcessStarter& systemProcessStarter() {
  static SystemProcessStarter starter;
  return starter;
}

void DesktopShellOpener::open(const std::string& location, StartFailure failed) {
  starter_.start("xdg-open " + quoteArgument(location), std::move(failed));
}

ShellOpener& systemShellOpener() {
  static DesktopShellOpener opener(systemProcessStarter());
  return opener;
}
