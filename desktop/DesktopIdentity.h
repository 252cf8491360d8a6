// How the desktop knows the running program: the desktop entry's name, which Wayland compositors
// use to find the program's icon and menu entry, and the window icon, which X11 window managers
// read from the window itself. The icon's pictures are built into the program.
//
// GUI (main) thread, after the application object exists and before the first window is shown.
#pragma once

// The desktop entry's name without ".desktop"; also the icon's name in the icon theme and the
// AppStream component's ID. The build defines it.
inline constexpr const char* DesktopEntryName = CORVATONE_DESKTOP_ID;

// Sets the application's desktop entry name and its window icon, which every window then takes.
void ApplyDesktopIdentity();
