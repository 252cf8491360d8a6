// The gradient push button on Win32: a child window that can take the focus, whose rules and
// drawing are TGradBtnCore's. Each paint is composed on an off-screen bitmap and copied at once;
// the background is never erased. The mouse, the Enter key, the focus and the enabled state go
// to the core; a click is reported through OnClick.
//
// The header names the core only by declaration, so that a front end's window code can hold a
// button without the widgets' host types.
//
// GUI thread only.
#pragma once

#include "Win32Message.h"

#include <functional>
#include <memory>

class TGradBtnCore;

class TWin32GradBtn : private TWin32MessageTarget {
public:
    // A visible child of Parent at Bounds with the control identifier Id; Style adds window
    // styles (WS_TABSTOP, WS_GROUP). Raises when the system refuses the window.
    TWin32GradBtn(HWND Parent, int Id, const RECT& Bounds, DWORD Style);
    ~TWin32GradBtn();
    TWin32GradBtn(const TWin32GradBtn&) = delete;
    TWin32GradBtn& operator=(const TWin32GradBtn&) = delete;

    HWND Handle() const { return FHandle; }
    TGradBtnCore& Core();
    // Called after the button has been repainted released.
    std::function<void()> OnClick;

private:
    class THost;
    LRESULT HandleMessage(UINT Message, WPARAM W, LPARAM L) override;
    void Paint();
    void Mouse(UINT Message, WPARAM W, LPARAM L);

    HWND FHandle = nullptr;
    std::unique_ptr<THost> FHost;
    std::unique_ptr<TGradBtnCore> FCore;
    bool FPointerInside = false;
};
