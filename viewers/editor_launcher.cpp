#include "viewers/editor_launcher.h"

#include <utility>

#include "platform/code_page.h"
#include "platform/process.h"

namespace {

// Text editors of the common Linux desktops, in the order they are tried,
// with each one's own way of being told the line. "%f" is quoted because the
// command line is split at blanks and paths may hold them.
struct KnownEditor {
  const char* program;
  const char* command;
};

constexpr KnownEditor kKnownEditors[] = {
    {"gedit", "gedit +%l \"%f\""},              // GNOME
    {"kate", "kate --line %l \"%f\""},          // KDE
    {"mousepad", "mousepad --line %l \"%f\""},  // Xfce
    {"pluma", "pluma +%l \"%f\""},              // MATE
    // geany applies "+N" to the first file it opens, which is a file of the
    // session it restores, not this one; "file:N" belongs to the file.
    {"geany", "geany \"%f:%l\""},
};

constexpr const char* kDesktopHandlerCommand = "xdg-open \"%f\"";

}  // namespace

std::string editorCommandLine(const std::string& editorCommand, const std::string& path, int line) {
  const std::string lineText = std::to_string(line < 1 ? 1 : line);
  std::string commandLine;
  commandLine.reserve(editorCommand.size() + path.size() + 1);
  bool pathWritten = false;

  const char* p = editorCommand.c_str();
  const char* const end = p + editorCommand.size();
  while (p < end) {
    if (*p == '%' && p + 1 < end && p[1] == 'f') {
      commandLine += path;
      pathWritten = true;
      p += 2;
    } else if (*p == '%' && p + 1 < end && p[1] == 'l') {
      commandLine += lineText;
      p += 2;
    } else {
      const char* next = platform::CharNextA(p);
      if (next == p) next = p + 1;  // an embedded NUL byte
      commandLine.append(p, next);
      p = next;
    }
  }
  if (!pathWritten) {
    commandLine += ' ';
    commandLine += path;
  }
  return commandLine;
}

bool openInEditor(const std::string& editorCommand, const CheckTarget* target, int line,
                  ProcessStarter& starter, StartFailure failed) {
  if (target == nullptr || target->kind != TargetKind::File) return false;
  starter.start(editorCommandLine(editorCommand, target->location, line), std::move(failed));
  return true;
}

std::string defaultEditorCommand(const std::function<bool(const std::string&)>& isInstalled) {
  for (const KnownEditor& editor : kKnownEditors) {
    if (isInstalled(editor.program)) return editor.command;
  }
  return kDesktopHandlerCommand;
}

std::string defaultEditorCommand() {
  return defaultEditorCommand(
      [](const std::string& program) { return !platform::findProgram(program).empty(); });
}
