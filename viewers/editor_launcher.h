// Opening a local file in the user's text editor, at a line.
//
// The editor is named by a command template (the setting "Editor") in which
// "%f" stands for the file's path and "%l" for the line number; both are
// case-sensitive, and any other "%" stands for itself. A template without
// "%f" gets a blank and the path at its end. The path is inserted exactly as
// the working set holds it, without quotes, so a template for paths with
// blanks quotes its own "%f".
//
// Everything here runs on the user-interface thread; the editor is started
// and left to itself once its first seconds have gone well.
#ifndef TESSAVO_VIEWERS_EDITOR_LAUNCHER_H_
#define TESSAVO_VIEWERS_EDITOR_LAUNCHER_H_

#include <functional>
#include <string>

#include "engine/check_target.h"
#include "viewers/process_starter.h"

// The command line for `path` at `line`. A line below 1 (a target without an
// error line, or an error without a line number) becomes 1. The template is
// scanned by whole characters of the program's code page, so the second byte
// of a double-byte character is never taken for "%"; the result grows as
// needed and is never cut.
std::string editorCommandLine(const std::string& editorCommand, const std::string& path, int line);

// Starts the editor for a local-file target at `line`; `failed` hears when
// it cannot start. Does nothing for a null target or one that is not a
// local file. True when a start was made.
bool openInEditor(const std::string& editorCommand, const CheckTarget* target, int line,
                  ProcessStarter& starter, StartFailure failed = nullptr);

// The template used while "Editor" has never been set: the first installed
// of the desktop's common text editors that can jump to a line, with "%l"
// where it expects the line, else the desktop's handler for the file.
// `isInstalled` is asked with a program name; the overload without it
// looks on PATH.
std::string defaultEditorCommand(const std::function<bool(const std::string&)>& isInstalled);
std::string defaultEditorCommand();

#endif  // TESSAVO_VIEWERS_EDITOR_LAUNCHER_H_
