// The flat progress bar on Win32: a control without a window of its own, painted by its parent
// window inside the parent's paint, through a GDI canvas clipped to the bar's rectangle. The
// bar's rules and drawing are TFlatProgressBarCore's; this is its host.
//
// GUI thread only.
#pragma once

#include "FlatProgressBarCore.h"
#include "GdiCanvas.h"
#include "Win32Api.h"

class TWin32FlatBar final : private TFlatProgressBarHost {
public:
    // A bar at Bounds of Parent's client area. Parent must outlive the bar; the bar takes its
    // background from Parent's class brush colour, the system's button face.
    TWin32FlatBar(HWND Parent, const RECT& Bounds);
    TWin32FlatBar(const TWin32FlatBar&) = delete;
    TWin32FlatBar& operator=(const TWin32FlatBar&) = delete;

    TFlatProgressBarCore& Core() { return FCore; }
    const TFlatProgressBarCore& Core() const { return FCore; }
    // The bar's present rectangle in Parent's client coordinates.
    RECT Bounds() const { return FBounds; }
    // Paints the bar on Dc, whose origin the caller has moved to the bar's top-left corner and
    // whose clipping it has set to the bar.
    void Paint(HDC Dc);

private:
    void Place(const RECT& Bounds);
    TSize Size() const override;
    void Resize(TSize NewSize) override;
    void Invalidate() override { InvalidateRect(FParent, &FBounds, FALSE); }
    void Repaint() override;
    TSystemPalette SystemPalette() const override;
    std::optional<TColor> ParentBackground() const override { return GetSysColor(COLOR_BTNFACE); }

    HWND FParent;
    RECT FBounds;
    TGdiFonts FFonts;
    TFlatProgressBarCore FCore{ *this };
};
