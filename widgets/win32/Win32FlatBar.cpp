#include "Win32FlatBar.h"

#include "FlatProgressBarCore.h"
#include "GdiCanvas.h"
#include "Win32Palette.h"

class TWin32FlatBar::THost : public TFlatProgressBarHost {
public:
    THost(HWND Parent, const RECT& Bounds)
        : FParent(Parent)
        , FBounds(Bounds)
    {
    }

    RECT Bounds() const { return FBounds; }
    TGdiFonts& Fonts() { return FFonts; }
    void Place(const RECT& Bounds)
    {
        Invalidate();
        FBounds = Bounds;
        Invalidate();
    }

    TSize Size() const override
    {
        return TSize{ FBounds.right - FBounds.left, FBounds.bottom - FBounds.top };
    }
    void Resize(TSize NewSize) override
    {
        // The parent paints the bar again at its next paint, also when asked from inside one.
        Place(RECT{ FBounds.left, FBounds.top, FBounds.left + NewSize.Width,
            FBounds.top + NewSize.Height });
    }
    void Invalidate() override { InvalidateRect(FParent, &FBounds, FALSE); }
    void Repaint() override
    {
        Invalidate();
        UpdateWindow(FParent);
    }
    TSystemPalette SystemPalette() const override { return Win32SystemPalette(); }
    std::optional<TColor> ParentBackground() const override { return GetSysColor(COLOR_BTNFACE); }

private:
    HWND FParent;
    RECT FBounds;
    TGdiFonts FFonts;
};

TWin32FlatBar::TWin32FlatBar(HWND Parent, const RECT& Bounds)
    : FHost(std::make_unique<THost>(Parent, Bounds))
    , FCore(std::make_unique<TFlatProgressBarCore>(*FHost))
{
    // The core gives a new bar its default size; the form's bar has its own.
    FHost->Place(Bounds);
}

TWin32FlatBar::~TWin32FlatBar() = default;

TFlatProgressBarCore& TWin32FlatBar::Core()
{
    return *FCore;
}

void TWin32FlatBar::SetPosition(int Position)
{
    FCore->SetPosition(Position);
}

int TWin32FlatBar::Position() const
{
    return FCore->Position();
}

void TWin32FlatBar::SystemColorsChanged()
{
    FCore->SystemColorsChanged();
}

RECT TWin32FlatBar::Bounds() const
{
    return FHost->Bounds();
}

void TWin32FlatBar::Paint(HDC Dc)
{
    TGdiCanvas Canvas(Dc, FHost->Fonts());
    FCore->Paint(Canvas);
}
