// The two line operations through which a check run writes into the error
// pane. The window implements them on its list; tests implement them on a
// vector. Both may be called from the checking thread: an implementation
// keeps the lines in the order of the calls, and once the run has ended
// (Thread::isRunning() is false) every line it added is in the pane.
#ifndef TESSAVO_ENGINE_ERROR_PANE_H_
#define TESSAVO_ENGINE_ERROR_PANE_H_

#include <memory>
#include <string>

#include "engine/check_target.h"

class ErrorPane {
 public:
  virtual ~ErrorPane() = default;

  // Removes every line and deletes the ErrorItem of each line that has one.
  virtual void ClearLines() = 0;

  // Appends one line at the end. `item` may be null (the line then leads to
  // no target); the pane owns it from now on.
  virtual void AddLine(const std::string& text, std::unique_ptr<ErrorItem> item) = 0;
};

#endif  // TESSAVO_ENGINE_ERROR_PANE_H_
