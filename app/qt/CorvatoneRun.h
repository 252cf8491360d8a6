// The program's run: the application, the main window, the message loop.
//
// With no wave-in device or no encoder library the window cannot be created; the reason is
// reported to the user and the run ends at once with a non-zero status, without a window.
//
// GUI (main) thread; blocks in the message loop until the main window has closed.
#pragma once

#include <QString>
#include <functional>

class TMainForm;

struct TStartOptions {
    // The folder the skin is read from; empty (the program's choice) means the executable's.
    QString AppPathForTests;
    // Called with the shown window just before the message loop runs.
    std::function<void(TMainForm&)> OnShown;
};

// Returns the program's exit status. Uses the application object when one exists already.
int RunCorvatone(int& Argc, char** Argv, const TStartOptions& Options = {});
