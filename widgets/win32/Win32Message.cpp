#include "Win32Message.h"

#include "Win32ErrorBox.h"
#include "Win32Text.h"

#include <stdexcept>

void TWin32MessageTarget::Route(HWND Window, TWin32MessageTarget* Target)
{
    SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Target));
}

LRESULT CALLBACK RoutingWindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L)
{
    auto* Target = reinterpret_cast<TWin32MessageTarget*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!Target)
        return DefWindowProcW(Window, Message, W, L);
    try {
        return Target->HandleMessage(Message, W, L);
    } catch (const std::exception& E) {
        ShowErrorBox(GetAncestor(Window, GA_ROOT), E.what());
        return 0;
    }
}

void RegisterWindowClass(HINSTANCE Instance, const TWin32WindowClass& Class)
{
    WNDCLASSEXW Native{};
    Native.cbSize = sizeof(Native);
    Native.style = Class.Style;
    Native.lpfnWndProc = RoutingWindowProc;
    Native.hInstance = Instance;
    Native.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Native.hIcon = Class.Icon;
    Native.hIconSm = Class.SmallIcon;
    Native.lpszClassName = Class.Name;
    if (!RegisterClassExW(&Native) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Cannot register the window class " + Utf8FromWide(Class.Name)
            + ": " + SystemErrorText(GetLastError()));
}

TMouseButton MouseButtonOf(UINT Message)
{
    switch (Message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

bool IsMousePress(UINT Message)
{
    return Message == WM_LBUTTONDOWN || Message == WM_RBUTTONDOWN || Message == WM_MBUTTONDOWN;
}

bool IsMouseButtonOrMove(UINT Message)
{
    return IsMousePress(Message) || Message == WM_LBUTTONUP || Message == WM_RBUTTONUP
        || Message == WM_MBUTTONUP || Message == WM_MOUSEMOVE;
}

TBufferedPaint::TBufferedPaint(HWND Window)
    : FWindow(Window)
    , FScreen(BeginPaint(Window, &FPaint))
{
    GetClientRect(Window, &FClient);
    FDc = CreateCompatibleDC(FScreen);
    FBuffer = FDc ? CreateCompatibleBitmap(FScreen, FClient.right, FClient.bottom) : nullptr;
    if (!FBuffer) {
        if (FDc)
            DeleteDC(FDc);
        EndPaint(Window, &FPaint);
        throw std::runtime_error(
            "Cannot make the bitmap a paint is composed on: " + SystemErrorText(GetLastError()));
    }
    FPrevious = SelectObject(FDc, FBuffer);
    // Only what needs it is drawn; the rest of the buffer is not copied.
    const RECT& Area = FPaint.rcPaint;
    IntersectClipRect(FDc, Area.left, Area.top, Area.right, Area.bottom);
}

TBufferedPaint::~TBufferedPaint()
{
    const RECT& Area = FPaint.rcPaint;
    BitBlt(FScreen, Area.left, Area.top, Area.right - Area.left, Area.bottom - Area.top, FDc,
        Area.left, Area.top, SRCCOPY);
    SelectObject(FDc, FPrevious);
    DeleteObject(FBuffer);
    DeleteDC(FDc);
    EndPaint(FWindow, &FPaint);
}
