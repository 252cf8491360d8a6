// The entry of Corvatone.exe, a program of the GUI subsystem: the window, the recorder's behaviour
// in it, the message loop until the window closes. The exit code is 0 after the window closed, 1
// when the window could not be created (the reason shown in a message box).
#include "Corvat.h"
#include "Win32ErrorBox.h"
#include "Win32MainForm.h"

#include <memory>

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR, int ShowCommand)
{
    std::unique_ptr<TWin32MainForm> Window;
    std::unique_ptr<TMain> Main;
    try {
        Window = std::make_unique<TWin32MainForm>(Instance);
        Main = std::make_unique<TMain>(*Window);
    } catch (const std::exception& E) {
        ShowErrorBox(nullptr, E.what());
        return 1;
    }
    Window->Attach(Main.get());
    Window->Show(ShowCommand);
    MSG Message{};
    while (GetMessageW(&Message, nullptr, 0, 0) > 0)
        Window->Dispatch(Message);
    // The behaviour ends a run still in progress and needs its window whole for that.
    ShowWindow(Window->Handle(), SW_HIDE);
    Window->Attach(nullptr);
    Main.reset();
    return 0;
}
