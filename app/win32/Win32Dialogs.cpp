#include "Win32Dialogs.h"

#include "Win32ErrorBox.h"

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
    if (!Dialog.Folder.empty())
        Open.lpstrInitialDir = Dialog.Folder.c_str();
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

std::optional<int> RunWin32PopupMenu(
    HWND Owner, const std::vector<std::wstring>& Entries, int Checked, POINT At)
{
    HMENU Menu = CreatePopupMenu();
    if (!Menu)
        throw std::runtime_error("Cannot create a menu");
    // The entries' commands are their indices plus one: 0 is TrackPopupMenu's "no choice".
    for (size_t Index = 0; Index < Entries.size(); ++Index) {
        const UINT Flags = MF_STRING | (static_cast<int>(Index) == Checked ? MF_CHECKED : 0);
        AppendMenuW(Menu, Flags, Index + 1, Entries[Index].c_str());
    }
    // Without the foreground a click elsewhere would not close the menu.
    SetForegroundWindow(Owner);
    const BOOL Command
        = TrackPopupMenu(Menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_LEFTBUTTON, At.x,
            At.y, 0, Owner, nullptr);
    DestroyMenu(Menu);
    if (Command <= 0)
        return std::nullopt;
    return Command - 1;
}

void ShowWin32Message(HWND Owner, const std::wstring& Title, const std::wstring& Text, bool Error)
{
    MessageBoxW(Owner, Text.c_str(), Title.c_str(),
        MB_OK | (Error ? MB_ICONERROR : MB_ICONWARNING) | BoxPlacement(Owner));
}

bool AskWin32Question(HWND Owner, const std::wstring& Title, const std::wstring& Text)
{
    return MessageBoxW(Owner, Text.c_str(), Title.c_str(),
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1 | BoxPlacement(Owner))
        == IDYES;
}
