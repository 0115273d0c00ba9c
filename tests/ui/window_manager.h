// A window manager on the test display, for tests where focus, raising and
// minimising must behave as on a desktop (simulated keys go to the focused
// window; a bare X server has no notion of either).
//
// ensureWindowManager() starts openbox once per test process unless another
// window manager already runs on the display, and waits (bounded) until it
// manages the screen. The process started here is ended when the test
// program exits.
#ifndef TESSAVO_TESTS_UI_WINDOW_MANAGER_H_
#define TESSAVO_TESTS_UI_WINDOW_MANAGER_H_

#include <string>

// True when a window manager runs (ours or another); `why` says what failed.
bool ensureWindowManager(std::string* why = nullptr);

#endif  // TESSAVO_TESTS_UI_WINDOW_MANAGER_H_
