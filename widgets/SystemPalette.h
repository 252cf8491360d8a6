// The values of the system colours (clBtnFace, clGrayText, ... in Colors.h) at one moment, and
// the one rule by which a TColor becomes plain RGB. Each front end fills a palette from its
// system (Qt's application palette, Win32's GetSysColor); ClassicSystemPalette holds the classic
// desktop scheme for tests and for a host that has nothing better.
//
// Plain values: any thread.
#pragma once

#include "Colors.h"

#include <array>
#include <cstddef>

// clScrollBar (index 0) .. clInfoBk (index 24).
constexpr std::size_t SystemColorCount = 25;

// RGB values indexed by the system colour's index (SystemColorIndex).
using TSystemPalette = std::array<TColor, SystemColorCount>;

constexpr TSystemPalette ClassicSystemPalette = {
    RGB(200, 200, 200), // scroll bar
    RGB(58, 110, 165), // desktop
    RGB(10, 36, 106), // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0), // window frame
    RGB(0, 0, 0), // menu text
    RGB(0, 0, 0), // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106), // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // 3-D shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0), // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // 3-D highlight
    RGB(64, 64, 64), // 3-D dark shadow
    RGB(212, 208, 200), // 3-D light
    RGB(0, 0, 0), // tooltip text
    RGB(255, 255, 225), // tooltip background
};

// Plain RGB for any colour: a fixed colour loses its high byte only; a system colour reads its
// value from Palette, and an index the palette does not have reads as the window text, as an
// unknown colour would.
constexpr TColor ColorToRGB(TColor Color, const TSystemPalette& Palette)
{
    if (!IsSystemColor(Color))
        return Color & 0x00FFFFFFu;
    const std::size_t Index = SystemColorIndex(Color);
    return Index < SystemColorCount ? Palette[Index] : Palette[SystemColorIndex(clWindowText)];
}
