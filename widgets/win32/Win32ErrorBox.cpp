#include "Win32ErrorBox.h"

#include "ErrorBox.h"
#include "Win32Text.h"

namespace {

void SystemErrorBox(HWND Owner, const std::wstring& Title, const std::wstring& Text)
{
    MessageBoxW(Owner, Text.c_str(), Title.c_str(), MB_OK | MB_ICONERROR | BoxPlacement(Owner));
}

TErrorBoxShower CurrentShower = &SystemErrorBox;

} // namespace

UINT BoxPlacement(HWND Owner)
{
    return MB_SETFOREGROUND | (Owner ? 0 : MB_TOPMOST | MB_TASKMODAL);
}

TErrorBoxShower SetErrorBoxShower(TErrorBoxShower Shower)
{
    const TErrorBoxShower Previous = CurrentShower;
    CurrentShower = Shower ? Shower : &SystemErrorBox;
    return Previous;
}

void ShowErrorBox(HWND Owner, std::string_view What) noexcept
{
    try {
        CurrentShower(Owner, DisplayText(ErrorBoxTitle), DisplayText(What));
    } catch (...) {
        // Only the texts' memory can fail here; the box then shows without them rather than let
        // an exception cross the window procedure.
        MessageBoxW(Owner, L"", L"", MB_OK | MB_ICONERROR);
    }
}
