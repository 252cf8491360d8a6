// Where the window goes and how it is moved, on the platform the application runs on. The one
// place of the Qt front end that tells the platforms apart: on a Wayland platform the compositor
// places a new window and moves it (a Wayland client can do neither itself), so the window
// neither centres itself nor follows the pointer but hands a drag to the compositor at the
// press; on X11 (and offscreen) it centres itself on the screen and follows the pointer.
//
// GUI thread only.
#pragma once

#include <QString>
#include <functional>

class QWidget;
class QWindow;

// Whether the compositor of the platform named PlatformName (QGuiApplication::platformName)
// places and moves windows.
bool CompositorPlacesWindows(const QString& PlatformName);

// The window's first place: centred on the primary screen where the window places itself, the
// compositor's choice elsewhere.
void PlaceFirst(QWidget& Window);

// Asks the compositor to move Window with the pointer, where it moves windows; true when it
// took the move. False elsewhere and when the compositor refuses (no pointer, no press).
bool StartSystemMove(QWidget& Window);

// How StartSystemMove asks the platform; tests observe the request through it. Returns the
// previous one; an empty one restores the platform's.
using TSystemMoveRequest = std::function<bool(QWindow& Window)>;
TSystemMoveRequest SetSystemMoveRequest(TSystemMoveRequest Request);
