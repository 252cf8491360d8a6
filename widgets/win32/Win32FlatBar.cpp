#include "Win32FlatBar.h"

#include "GdiCanvas.h"

TWin32FlatBar::TWin32FlatBar(HWND Parent, const RECT& Bounds)
    : FParent(Parent)
    , FBounds(Bounds)
{
    // The core gives a new bar its default size; the form's bar has its own.
    Place(Bounds);
}

void TWin32FlatBar::Place(const RECT& Bounds)
{
    Invalidate();
    FBounds = Bounds;
    Invalidate();
}

TSize TWin32FlatBar::Size() const
{
    return TSize{ FBounds.right - FBounds.left, FBounds.bottom - FBounds.top };
}

void TWin32FlatBar::Resize(TSize NewSize)
{
    // The parent paints the bar again at its next paint, also when asked from inside one.
    Place(RECT{
        FBounds.left, FBounds.top, FBounds.left + NewSize.Width, FBounds.top + NewSize.Height });
}

void TWin32FlatBar::Repaint()
{
    Invalidate();
    UpdateWindow(FParent);
}

TSystemPalette TWin32FlatBar::SystemPalette() const
{
    return Win32SystemPalette();
}

void TWin32FlatBar::Paint(HDC Dc)
{
    TGdiCanvas Canvas(Dc, FFonts);
    FCore.Paint(Canvas);
}
