// The gradient push button on Win32: a child window that can take the focus, whose rules and
// drawing are TGradBtnCore's. Each paint is composed on an off-screen bitmap and copied at once;
// the background is never erased. The mouse, the Enter key, the focus and the enabled state go
// to the core; a click is reported through OnClick.
//
// GUI thread only.
#pragma once

#include "GdiCanvas.h"
#include "GradBtnCore.h"
#include "Win32Message.h"

#include <functional>

class TWin32GradBtn final : private TGradBtnHost, private TWin32MessageTarget {
public:
    // A visible child of Parent at Bounds with the control identifier Id; Style adds window
    // styles (WS_TABSTOP, WS_GROUP). Raises when the system refuses the window.
    TWin32GradBtn(HWND Parent, int Id, const RECT& Bounds, DWORD Style);
    ~TWin32GradBtn() override;
    TWin32GradBtn(const TWin32GradBtn&) = delete;
    TWin32GradBtn& operator=(const TWin32GradBtn&) = delete;

    HWND Handle() const { return FHandle; }
    TGradBtnCore& Core() { return FCore; }
    // Called after the button has been repainted released.
    std::function<void()> OnClick;

private:
    LRESULT HandleMessage(UINT Message, WPARAM W, LPARAM L) override;
    void Paint();
    void Mouse(UINT Message, WPARAM W, LPARAM L);

    // ---- The core's host
    TSize Size() const override;
    void Resize(TSize NewSize) override;
    void Invalidate() override { InvalidateRect(FHandle, nullptr, FALSE); }
    void Repaint() override;
    TSystemPalette SystemPalette() const override;
    bool Enabled() const override { return IsWindowEnabled(FHandle); }
    bool Focused() const override { return GetFocus() == FHandle; }
    void SetFocus() override { ::SetFocus(FHandle); }
    void CaptureMouse() override { SetCapture(FHandle); }
    void ReleaseMouse() override;
    // The window reports nothing but the click.
    void Clicked() override;

    // Made before the core, which sizes the window.
    HWND FHandle;
    TGdiFonts FFonts;
    TGradBtnCore FCore{ *this };
    bool FPointerInside = false;
};
