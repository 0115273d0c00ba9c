// The application of the window tests: one TessavoApp for the test
// program, with its profile, desktop data and runtime folder (where the
// single-instance lock and socket lie) in a private temporary folder, and
// helpers to pump events and to run the real program as a second start.
#ifndef TESSAVO_TESTS_UI_STARTUP_FIXTURE_H_
#define TESSAVO_TESTS_UI_STARTUP_FIXTURE_H_

#include <functional>
#include <string>
#include <vector>

#include "tests/support/file_contents.h"

class CMainFrame;
class TessavoApp;

namespace startup_test {

// The folder of this test program's private files, ending with "/".
const std::string& scratch();
TessavoApp& app();

// Runs wx's events until `done` or `timeoutMs` has passed; the result of
// `done` at the end.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);

// Writes `text` as the whole profile file and reopens it.
void writeProfile(const std::string& text);

// Closes any window, then opens one for `arguments` as the program would.
CMainFrame* openWindow(const std::vector<std::string>& arguments);

// Runs the real program in `folder` with `arguments` (a second start) while
// pumping this program's events; its exit status, or -1 when it did not end
// within the time.
int runSecondStart(const std::string& folder, const std::vector<std::string>& arguments);

// The same with `environment` ("NAME=value") added to this program's, and
// `meanwhile` called between turns of the event loop while it runs.
int runProgram(const std::string& folder, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment,
               const std::function<void()>& meanwhile = nullptr);

// The file pane's lines.
std::vector<std::string> fileLines(CMainFrame* frame);

// Writes a file with `content`, making its folders.
using test_support::writeFile;

}  // namespace startup_test

#endif  // TESSAVO_TESTS_UI_STARTUP_FIXTURE_H_
