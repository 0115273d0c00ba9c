// The text of a failure that no document causes: the program ran out of
// memory (std::bad_alloc) or the system refused it something else while a
// check was under way. The check run catches such failures where a target
// or the run can still be closed properly, so that the run says what
// happened, removes its folder and ends, instead of ending the program.
//
// A pure function; any thread.
#ifndef TESSAVO_ENGINE_RESOURCE_FAILURE_H_
#define TESSAVO_ENGINE_RESOURCE_FAILURE_H_

#include <exception>
#include <string>

// "メモリが足りない" for std::bad_alloc, otherwise "検査を続けられない: "
// and the exception's own text; in the program's code page, without "E: ".
std::string resourceFailureText(const std::exception& failure);

#endif  // TESSAVO_ENGINE_RESOURCE_FAILURE_H_
