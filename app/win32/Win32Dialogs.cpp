#include "Win32Dialogs.h"

#include <commdlg.h>
#include <stdexcept>
#include <vector>

namespace {

// Long enough for the longest path the system takes.
constexpr size_t PathCapacity = 32768;

} // namespace

std::optional<std::wstring> RunWin32SaveDialog(HWND Owner, const TWin32SaveDialog& Dialog)
{
    // The filter is pairs of name and pattern, each ended by a zero, the list by another.
    std::wstring Filter = Dialog.FilterName + L'\0' + Dialog.FilterPattern + L'\0';
    Filter.push_back(L'\0');
    std::vector<wchar_t> Path(PathCapacity, L'\0');
    OPENFILENAMEW Open{};
    Open.lStructSize = sizeof(Open);
    Open.hwndOwner = Owner;
    Open.lpstrFilter = Filter.c_str();
    Open.nFilterIndex = 1;
    Open.lpstrFile = Path.data();
    Open.nMaxFile = static_cast<DWORD>(Path.size());
    Open.lpstrTitle = Dialog.Title.c_str();
    Open.lpstrDefExt = Dialog.DefaultExtension.c_str();
    Open.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (Dialog.ConfirmOverwrite)
        Open.Flags |= OFN_OVERWRITEPROMPT;
    if (Dialog.Resizable)
        Open.Flags |= OFN_ENABLESIZING;
    if (GetSaveFileNameW(&Open))
        return std::wstring(Path.data());
    if (const DWORD Error = CommDlgExtendedError(); Error != 0)
        throw std::runtime_error("The file dialog failed (error " + std::to_string(Error) + ")");
    return std::nullopt;
}

void ShowWin32Message(HWND Owner, const std::wstring& Title, const std::wstring& Text, bool Error)
{
    MessageBoxW(Owner, Text.c_str(), Title.c_str(),
        MB_OK | (Error ? MB_ICONERROR : MB_ICONWARNING) | MB_SETFOREGROUND);
}

bool AskWin32Question(HWND Owner, const std::wstring& Title, const std::wstring& Text)
{
    return MessageBoxW(Owner, Text.c_str(), Title.c_str(),
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1 | MB_SETFOREGROUND)
        == IDYES;
}
