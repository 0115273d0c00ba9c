// Starting outside programs without waiting for them: the editor, and the
// desktop's handler for a location ("open").
//
// A start that fails is told to the caller: the program cannot be executed,
// or it ends in failure (a non-zero exit status, a signal) within its first
// seconds, as the desktop's handler does when it finds nothing to open a
// location with. Those seconds are watched on a thread of the starter's
// own, so the caller never waits; the report comes from that thread.
//
// Both are interfaces so that the commands can be tested by recording what
// they would start. The system implementations are process-wide objects
// without state; callers on any thread may use them.
#ifndef TESSAVO_VIEWERS_PROCESS_STARTER_H_
#define TESSAVO_VIEWERS_PROCESS_STARTER_H_

#include <functional>
#include <string>

#include "platform/child_process.h"
#include "platform/command_line.h"

// Hears why a start failed: the program's name as the command line gives
// it, ": ", and the reason, in the program's code page. Called at most once,
// on any thread; may be empty.
using StartFailure = std::function<void(const std::string& reason)>;

// Starts a command line as a new process and returns at once.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // `commandLine` is split into arguments by the Windows C runtime's rules
  // (blanks separate, double quotes group); the program is searched on PATH
  // when it holds no "/".
  virtual void start(const std::string& commandLine, StartFailure failed) = 0;
};

// Hands a location (a local path or a URI) to whatever program the desktop
// associates with it, like a double click in a file manager.
class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  virtual void open(const std::string& location, StartFailure failed) = 0;
};

// The real process start.
ProcessStarter& systemProcessStarter();

// The real "open": "xdg-open" with the location as its one argument,
// started through `starter`.
class DesktopShellOpener : public ShellOpener {
 public:
  explicit DesktopShellOpener(ProcessStarter& starter) : starter_(starter) {}
  void open(const std::string& location, StartFailure failed) override;

 private:
  ProcessStarter& starter_;
};

ShellOpener& systemShellOpener();

// The reason told for `program` when its start came to `outcome`:
// "xdg-open: 終了コード 3 (...)", "gedit: No such file or directory".
std::string startFailureReason(const std::string& program, const platform::ChildOutcome& outcome);

// The quoting of command-line arguments lives with the splitting rules.
using platform::quoteArgument;

#endif  // TESSAVO_VIEWERS_PROCESS_STARTER_H_
