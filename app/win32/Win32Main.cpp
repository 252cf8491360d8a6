// The entry of Corvatone.exe, a program of the GUI subsystem.
#include "Win32Window.h"

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR, int ShowCommand)
{
    return RunCorvatone(Instance, ShowCommand);
}
