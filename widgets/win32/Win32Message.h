// What every window of the Win32 front end does alike: its class registration, the one window
// procedure that hands a window's messages to the object behind it, the mouse button a message
// names, and a paint composed off screen.
//
// GUI thread only.
#pragma once

#include "WidgetHost.h"
#include "Win32Api.h"

// The object behind a window: RoutingWindowProc hands it the window's messages once Route has
// tied the two; the system handles them before that and after the tie is undone.
class TWin32MessageTarget {
public:
    virtual ~TWin32MessageTarget() = default;

protected:
    // Window's messages go to Target from now on; null undoes the tie.
    static void Route(HWND Window, TWin32MessageTarget* Target);

private:
    friend LRESULT CALLBACK RoutingWindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L);
    virtual LRESULT HandleMessage(UINT Message, WPARAM W, LPARAM L) = 0;
};

// An exception that leaves HandleMessage must not cross the system's frames: it shows in an
// error box owned by the window's top-level window.
LRESULT CALLBACK RoutingWindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L);

struct TWin32WindowClass {
    const wchar_t* Name = nullptr;
    UINT Style = 0;
    HICON Icon = nullptr, SmallIcon = nullptr; // null: the system's
};

// Registers Class with RoutingWindowProc and the arrow pointer; a class registered before is
// kept. Raises when the system refuses.
void RegisterWindowClass(HINSTANCE Instance, const TWin32WindowClass& Class);

// The button of a press or release message (WM_LBUTTONDOWN ... WM_MBUTTONUP).
TMouseButton MouseButtonOf(UINT Message);
// A button's press message.
bool IsMousePress(UINT Message);
// A button's press or release message, or a move of the mouse.
bool IsMouseButtonOrMove(UINT Message);

// One WM_PAINT composed off screen: what is drawn on Dc, a bitmap of the client area's size
// clipped to the area that needs painting, reaches the screen at once when the object goes, so
// that nothing flickers. Raises when the system has no memory for the bitmap.
class TBufferedPaint {
public:
    explicit TBufferedPaint(HWND Window);
    ~TBufferedPaint();
    TBufferedPaint(const TBufferedPaint&) = delete;
    TBufferedPaint& operator=(const TBufferedPaint&) = delete;

    HDC Dc() const { return FDc; }
    const RECT& Client() const { return FClient; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
    HDC FScreen = nullptr;
    RECT FClient{};
    HDC FDc = nullptr;
    HBITMAP FBuffer = nullptr;
    HGDIOBJ FPrevious = nullptr;
};
