// Splits one line of a target's report, as the error pane shows it, into the
// parts an editor or a CI needs: position, kind and text.
//
// The lines have the validator's forms, with its program name and the
// converted copy's path already taken off:
//
//   12:5:E: element "X" undefined        about the document, with a kind
//   8:9: start tag was here              about the document, no kind
//   /usr/share/x.dtd:100:2:W: text       about another file (a DTD, a catalog)
//   E: 入力ファイルを開けない: a.htm     no position (the run's own lines too)
//   anything else                        no position and no kind
//
// The validator's kinds are I (information), W (warning), E (error), Q (a
// quantity limit exceeded) and X (a reference to an ID that does not exist);
// Q and X lines are errors in the document as much as E lines are.
//
// Pure functions; any thread.
#ifndef TESSAVO_ENGINE_MESSAGE_PARTS_H_
#define TESSAVO_ENGINE_MESSAGE_PARTS_H_

#include <string>

struct MessageParts {
  // The other file the message is about; empty when it is about the
  // document itself or has no position.
  std::string file;
  int line = 0;  // 0 when there is no position
  // As the validator counts: characters before the position, from 0.
  int column = 0;
  char kind = 0;  // the validator's letter, or 0 when the line has none
  std::string text;
};

MessageParts splitMessageLine(const std::string& line);

enum class Severity { Error, Warning, Info };

// E, Q and X are errors, W a warning; I, no letter or any other is
// information.
Severity severityOf(char kind);

// "error", "warning" or "info".
const char* severityName(Severity severity);

#endif  // TESSAVO_ENGINE_MESSAGE_PARTS_H_
