// The widgets' canvas over a GDI device context, the fonts it draws with, and the colours as GDI
// takes them.
//
// GUI thread only; nothing here blocks.
#pragma once

#include "Canvas.h"
#include "SystemPalette.h"
#include "Win32Api.h"

#include <memory>
#include <vector>

// GDI fonts made from TFont values, kept until the cache goes: a window keeps one for its life so
// that painting does not make and delete the same fonts again and again.
class TGdiFonts {
public:
    TGdiFonts() = default;
    ~TGdiFonts();
    TGdiFonts(const TGdiFonts&) = delete;
    TGdiFonts& operator=(const TGdiFonts&) = delete;

    // The GDI font for Font, made at its first use; raises when the system cannot make it.
    HFONT Get(const TFont& Font);

private:
    std::vector<std::pair<TFont, HFONT>> FFonts;
};

class TGdiCanvas : public TCanvas {
public:
    // Draws on Dc, whose origin and clipping the caller has set to the widget's rectangle. Dc and
    // Fonts must outlive the canvas; the canvas leaves Dc's selected objects as it found them.
    TGdiCanvas(HDC Dc, TGdiFonts& Fonts);

    void FillRect(const TRect& R, TColor Color) override;
    void FrameRect(const TRect& R, TColor Color) override;
    void FillEllipse(const TRect& Bounds, TColor Color) override;
    void DrawFocusRect(const TRect& R) override;
    TSize TextExtent(const std::string& Text, const TFont& Font) override;
    void TextOut(TPoint At, const std::string& Text, int UnderlineAt, const TFont& Font,
        TColor Color) override;

private:
    void Underline(TPoint At, const std::wstring& Wide, size_t From, size_t Count, TColor Color);

    HDC FDc;
    TGdiFonts& FFonts;
};

// A GDI font for Font, owned by the caller; raises when the system cannot make it.
HFONT CreateGdiFont(const TFont& Font);

// The system colours' present values (they change with the colour scheme), by the classic
// indices, which are Windows' own (COLOR_SCROLLBAR 0 .. COLOR_INFOBK 24).
TSystemPalette Win32SystemPalette();
// Plain RGB for Color; a system colour's present value.
COLORREF ColorRefOf(TColor Color);
// The header of a 32-bit top-down device-independent bitmap of Width x Height (colours BGRA, the
// top row first): what the pictures and the tests' pixel reads use.
BITMAPINFO TopDownBitmapInfo(int Width, int Height);
