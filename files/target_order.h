// The order in which the working set is listed and checked: ascending by the
// target's location, ASCII letters compared without regard to case, every
// other byte by its value; equal texts keep the order in which they came.
//
// The file pane of the window and the headless checker both sort by this
// rule, so a check lists its targets in the same order wherever it runs.
// The rule does not depend on the process's locale (byte order of UTF-8 text
// is the order of its code points). Pure functions; any thread.
#ifndef TESSAVO_FILES_TARGET_ORDER_H_
#define TESSAVO_FILES_TARGET_ORDER_H_

#include <string>

// The key that orders `location`: the text with A-Z lowered. Comparing two
// keys byte for byte (std::string's operator<) gives the order.
std::string targetSortKey(const std::string& location);

// True when `a` comes before `b`.
bool targetOrderLess(const std::string& a, const std::string& b);

#endif  // TESSAVO_FILES_TARGET_ORDER_H_
