// The flat progress bar on Win32: a control without a window of its own, painted by its parent
// window inside the parent's paint, through a GDI canvas clipped to the bar's rectangle. The
// bar's rules and drawing are TFlatProgressBarCore's; this is its host.
//
// The header names the core only by declaration, so that a front end's window code can hold bars
// without the widgets' host types.
//
// GUI thread only.
#pragma once

#include "Win32Api.h"

#include <memory>

class TFlatProgressBarCore;
class TGdiFonts;

class TWin32FlatBar {
public:
    // A bar at Bounds of Parent's client area. Parent must outlive the bar; the bar takes its
    // background from Parent's class brush colour, the system's button face.
    TWin32FlatBar(HWND Parent, const RECT& Bounds);
    ~TWin32FlatBar();
    TWin32FlatBar(const TWin32FlatBar&) = delete;
    TWin32FlatBar& operator=(const TWin32FlatBar&) = delete;

    TFlatProgressBarCore& Core();
    void SetPosition(int Position);
    int Position() const;
    // The system's colours changed: the bar follows them.
    void SystemColorsChanged();
    // The bar's present rectangle in Parent's client coordinates.
    RECT Bounds() const;
    // Paints the bar on Dc, whose origin the caller has moved to the bar's top-left corner and
    // whose clipping it has set to the bar.
    void Paint(HDC Dc);

private:
    class THost;
    std::unique_ptr<THost> FHost;
    std::unique_ptr<TFlatProgressBarCore> FCore;
};
