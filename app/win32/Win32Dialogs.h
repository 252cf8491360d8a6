// The system's modal dialogs as the window uses them: the file-save dialog and message boxes.
//
// GUI thread only; each blocks until the user closes it, running the thread's messages meanwhile.
#pragma once

#include "Win32Api.h"

#include <optional>
#include <string>

struct TWin32SaveDialog {
    std::wstring Title;
    std::wstring FilterName;
    std::wstring FilterPattern;
    std::wstring DefaultExtension; // added to a name typed without an extension
    bool ConfirmOverwrite = true;
    bool Resizable = true;
};

// The full path of the confirmed file, nothing when the user cancels. Raises when the dialog
// fails (for instance a path longer than it can return).
std::optional<std::wstring> RunWin32SaveDialog(HWND Owner, const TWin32SaveDialog& Dialog);

// A message box with a single OK button; an error's when Error, else a warning's.
void ShowWin32Message(HWND Owner, const std::wstring& Title, const std::wstring& Text, bool Error);

// A question with Yes and No buttons, Yes the default; true when the user answers Yes.
bool AskWin32Question(HWND Owner, const std::wstring& Title, const std::wstring& Text);
