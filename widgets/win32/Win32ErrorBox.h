// The error box of the Win32 front end, safe inside a window procedure's catch block: it never
// raises, so that nothing crosses the system's frames. A message that is not valid UTF-8 shows
// with replacement characters.
//
// GUI thread; blocks while the box is shown.
#pragma once

#include "Win32Api.h"

#include <string>
#include <string_view>

// How a box is shown; tests record the boxes instead. Title and Text are UTF-16.
using TErrorBoxShower = void (*)(HWND Owner, const std::wstring& Title, const std::wstring& Text);

// Replaces how error boxes are shown; returns the previous way. Null restores the system's box.
TErrorBoxShower SetErrorBoxShower(TErrorBoxShower Shower);

// The flags that bring a message box to the user: to the foreground, and one without an owner
// (a box at start-up) also above every other window, with the thread's windows disabled while
// it shows, as an owner would be.
UINT BoxPlacement(HWND Owner);

// An error box titled ErrorBoxTitle with What, owned by Owner (null: none). Never raises.
void ShowErrorBox(HWND Owner, std::string_view What) noexcept;
