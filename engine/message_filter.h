// Message filters: regular expressions (ECMAScript syntax) that drop the
// checkers' messages they match, for users who accept some messages, as CI
// users do. A message is dropped when any pattern matches some part of its
// line as the error pane shows it ("12:5:W: text", "I: text"), so a
// pattern may aim at the text, the kind or the position. Only the checkers'
// messages are filtered; the run's own lines (a download that failed, a
// validator that could not start) always stay.
//
// Patterns come from the command line (--filter) and from a file of
// patterns ("MessageFilter"): one per line, blank lines and lines that
// start with "#" left out, a CR before a line's LF ignored. A pattern that
// does not compile is refused when the filter is made, with a message that
// names it.
//
// Built once before a run; then read-only, so any number of workers may use
// it at once.
#ifndef TESSAVO_ENGINE_MESSAGE_FILTER_H_
#define TESSAVO_ENGINE_MESSAGE_FILTER_H_

#include <regex>
#include <string>
#include <vector>

#include "engine/target_report.h"

class MessageFilter {
 public:
  // Adds a pattern; false, with `*failure` naming it and saying why, when it
  // does not compile.
  bool add(const std::string& pattern, std::string* failure);
  // Adds the patterns of the file at `path`; false, with `*failure` set, when
  // it cannot be read or one of its patterns does not compile.
  bool addFile(const std::string& path, std::string* failure);

  bool empty() const { return patterns_.empty(); }

  // True when the line is a checker's message that a pattern matches.
  bool drops(const ReportLine& line) const;
  // Removes the dropped lines, keeping the order of the rest.
  void apply(std::vector<ReportLine>& lines) const;

 private:
  std::vector<std::regex> patterns_;
};

#endif  // TESSAVO_ENGINE_MESSAGE_FILTER_H_
