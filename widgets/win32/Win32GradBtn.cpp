#include "Win32GradBtn.h"

#include "GdiCanvas.h"
#include "Win32Text.h"

#include <stdexcept>
#include <windowsx.h>

namespace {

constexpr wchar_t ClassName[] = L"CorvatoneGradBtn";

TShiftState ShiftOf(WPARAM W)
{
    TShiftState Shift = 0;
    if (W & MK_SHIFT)
        Shift |= ssShift;
    if (W & MK_CONTROL)
        Shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        Shift |= ssAlt;
    if (W & MK_LBUTTON)
        Shift |= ssLeft;
    if (W & MK_RBUTTON)
        Shift |= ssRight;
    if (W & MK_MBUTTON)
        Shift |= ssMiddle;
    return Shift;
}

// The button's window, at Bounds of Parent; raises when the system refuses it.
HWND CreateButtonWindow(HWND Parent, int Id, const RECT& Bounds, DWORD Style)
{
    const auto Instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Parent, GWLP_HINSTANCE));
    RegisterWindowClass(Instance, TWin32WindowClass{ ClassName, CS_HREDRAW | CS_VREDRAW });
    HWND Handle = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | Style, Bounds.left,
        Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top, Parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), Instance, nullptr);
    if (!Handle)
        throw std::runtime_error("Cannot create the button: " + SystemErrorText(GetLastError()));
    return Handle;
}

} // namespace

TWin32GradBtn::TWin32GradBtn(HWND Parent, int Id, const RECT& Bounds, DWORD Style)
    : FHandle(CreateButtonWindow(Parent, Id, Bounds, Style))
{
    // The core gives a new button its default size; the form's button has its own.
    Resize(TSize{ Bounds.right - Bounds.left, Bounds.bottom - Bounds.top });
    Route(FHandle, this);
}

TWin32GradBtn::~TWin32GradBtn()
{
    Route(FHandle, nullptr);
    DestroyWindow(FHandle);
}

TSize TWin32GradBtn::Size() const
{
    RECT Client{};
    GetClientRect(FHandle, &Client);
    return TSize{ Client.right, Client.bottom };
}

void TWin32GradBtn::Resize(TSize NewSize)
{
    SetWindowPos(FHandle, nullptr, 0, 0, NewSize.Width, NewSize.Height,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32GradBtn::Repaint()
{
    Invalidate();
    UpdateWindow(FHandle);
}

TSystemPalette TWin32GradBtn::SystemPalette() const
{
    return Win32SystemPalette();
}

void TWin32GradBtn::ReleaseMouse()
{
    if (GetCapture() == FHandle)
        ReleaseCapture();
}

void TWin32GradBtn::Clicked()
{
    if (OnClick)
        OnClick();
}

LRESULT TWin32GradBtn::HandleMessage(UINT Message, WPARAM W, LPARAM L)
{
    if (IsMouseButtonOrMove(Message)) {
        Mouse(Message, W, L);
        return 0;
    }
    switch (Message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSELEAVE:
        Mouse(Message, W, L);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        FCore.FocusChanged();
        return 0;
    case WM_ENABLE:
        FCore.EnabledChanged();
        return 0;
    case WM_GETDLGCODE: {
        // The Enter key belongs to the button (it clicks it), not to the dialog's default button.
        const auto* Pending = reinterpret_cast<const MSG*>(L);
        if (Pending && (Pending->message == WM_KEYDOWN || Pending->message == WM_CHAR)
            && Pending->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE;
        return DLGC_BUTTON | DLGC_WANTCHARS;
    }
    case WM_CHAR:
        if (W < 0x80 && FCore.KeyPress(static_cast<char>(W)))
            return 0;
        break;
    case WM_SYSCHAR:
        if (FCore.DialogChar(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(W)))))
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(FHandle, Message, W, L);
}

void TWin32GradBtn::Mouse(UINT Message, WPARAM W, LPARAM L)
{
    const TPoint At{ GET_X_LPARAM(L), GET_Y_LPARAM(L) };
    if (Message == WM_MOUSELEAVE) {
        FPointerInside = false;
        FCore.MouseLeave();
        return;
    }
    if (Message == WM_MOUSEMOVE) {
        if (!FPointerInside && GetCapture() != FHandle) {
            // The system reports the pointer leaving only when asked, once per entry.
            TRACKMOUSEEVENT Track{ sizeof(Track), TME_LEAVE, FHandle, 0 };
            TrackMouseEvent(&Track);
            FPointerInside = true;
            FCore.MouseEnter();
        }
        FCore.MouseMove(ShiftOf(W), At);
        return;
    }
    if (IsMousePress(Message))
        FCore.MouseDown(MouseButtonOf(Message), ShiftOf(W), At);
    else
        FCore.MouseUp(MouseButtonOf(Message), ShiftOf(W), At);
}

void TWin32GradBtn::Paint()
{
    const TBufferedPaint Paint(FHandle);
    TGdiCanvas Canvas(Paint.Dc(), FFonts);
    FCore.Paint(Canvas);
}
