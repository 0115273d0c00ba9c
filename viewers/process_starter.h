// Starting outside programs without waiting for them: the editor, and the
// desktop's handler for a location ("open").
//
// Both are interfaces so that the commands can be tested by recording what
// they would start. The system implementations are process-wide objects
// without state; callers on any thread may use them.
#ifndef TESSAVO_VIEWERS_PROCESS_STARTER_H_
#define TESSAVO_VIEWERS_PROCESS_STARTER_H_

#include <string>

#include "platform/command_line.h"

// Starts a command line as a new process and returns at once.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // `commandLine` is split into arguments by the Windows C runtime's rules
  // (blanks separate, double quotes group); the program is searched on PATH
  // when it holds no "/". False when the process could not be created.
  virtual bool start(const std::string& commandLine) = 0;
};

// Hands a location (a local path or a URI) to whatever program the desktop
// associates with it, like a double click in a file manager.
class ShellOpener {
 public:
  virtual ~ShellOpener() = default;
  // False when the handler could not be started.
  virtual bool open(const std::string& location) = 0;
};

// The real process start.
ProcessStarter& systemProcessStarter();

// The real "open": "xdg-open" with the location as its one argument,
// started through `starter`.
class DesktopShellOpener : public ShellOpener {
 public:
  explicit DesktopShellOpener(ProcessStarter& starter) : starter_(starter) {}
  bool open(const std::string& location) override;

 private:
  ProcessStarter& starter_;
};

ShellOpener& systemShellOpener();

// The quoting of command-line arguments lives with the splitting rules.
using platform::quoteArgument;

#endif  // TESSAVO_VIEWERS_PROCESS_STARTER_H_
