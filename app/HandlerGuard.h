// The edge of every event handler of the window: an exception that leaves a handler is caught
// here and shown to the user through the window's error report, instead of crossing the front
// end's event loop (which would end the program).
//
// GUI thread only; blocks while the error report is shown.
#pragma once

#include <functional>

class TMainWindow;

// Runs Handler; an exception that leaves it is reported and goes no further. Returns false when
// Handler raised.
bool RunGuarded(TMainWindow& Window, const std::function<void()>& Handler);
