// The records that pass between the user interface and the checking thread.
//
// A CheckTarget is one entry of the working set. It is made on the heap by
// the target-construction rules and never changed afterwards; the file pane
// owns it (one per line) and deletes it when the line goes. Everything else
// (CheckJob, ErrorItem, the editor and browser commands) holds plain
// borrowed pointers, and a target's identity is its address: the same path
// added twice gives two distinct targets.
//
// An ErrorItem tags one line of the error pane with the target that produced
// it and the line number in that target. The error pane owns it.
#ifndef TESSAVO_ENGINE_CHECK_TARGET_H_
#define TESSAVO_ENGINE_CHECK_TARGET_H_

#include <cstdint>
#include <string>

// What a target is; the values are stored in no file, but no other value is
// ever made by this program. Any other value reads as an unknown scheme.
enum class TargetKind : std::int32_t {
  File = 1,  // `location` is a local path
  Http = 2,  // `location` is an absolute http or https URI text
};

struct CheckTarget {
  TargetKind kind;
  // For File: the path exactly as given (never normalised). For Http: the
  // URI text as URI::toString() gives it, scheme "http" or "https" in the
  // letter case it was given. A byte string in the program's code page.
  std::string location;

  // "file", "http", "https" (an Http target whose scheme is https), or the
  // empty text for any other kind; the kind words of the working-set file.
  const char* kindName() const;
};

struct ErrorItem {
  // The target whose check produced the line; not owned.
  CheckTarget* target;
  // -1 for a target's header line and its "E: " line; otherwise the line
  // number read from the validator's message, or 0 when it holds none.
  std::int32_t line;
};

#endif  // TESSAVO_ENGINE_CHECK_TARGET_H_
