// The system's modal dialogs as the window uses them: the file-save dialog and message boxes.
//
// GUI thread only; each blocks until the user closes it, running the thread's messages meanwhile.
#pragma once

#include "Win32Api.h"

#include <optional>
#include <string>
#include <vector>

struct TWin32SaveDialog {
    std::wstring Title;
    std::wstring FilterName;
    std::wstring FilterPattern;
    std::wstring DefaultExtension; // added to a name typed without an extension
    bool ConfirmOverwrite = true;
    bool Resizable = true;
    std::wstring Folder; // the folder it opens in; empty: the system's choice
};

// The full path of the confirmed file, nothing when the user cancels. Raises when the dialog
// fails (for instance a path longer than it can return).
std::optional<std::wstring> RunWin32SaveDialog(HWND Owner, const TWin32SaveDialog& Dialog);

// A popup menu of Entries at At (screen coordinates), the entry Checked (-1: none) marked with
// a check; the index of the entry chosen, nothing when it was closed without a choice.
std::optional<int> RunWin32PopupMenu(
    HWND Owner, const std::vector<std::wstring>& Entries, int Checked, POINT At);

// A message box with a single OK button; an error's when Error, else a warning's.
void ShowWin32Message(HWND Owner, const std::wstring& Title, const std::wstring& Text, bool Error);

// A question with Yes and No buttons, Yes the default; true when the user answers Yes.
bool AskWin32Question(HWND Owner, const std::wstring& Title, const std::wstring& Text);
