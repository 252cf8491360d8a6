// The surface the self-drawn widgets paint on, and the plain geometry and font types it takes.
// Each front end implements TCanvas over its own drawing API; the widgets' paint steps call
// nothing else.
//
// Coordinates are whole pixels in the widget's own space: (0, 0) is its top-left pixel, x grows
// to the right and y downwards. Every rectangle has inclusive Left and Top and exclusive Right and
// Bottom edges, so a rectangle from 2 to 5 covers pixels 2, 3 and 4. A rectangle whose Right is at
// or left of its Left, or whose Bottom is at or above its Top, is empty: filling it draws nothing.
// Parts of a shape outside the canvas are clipped away.
//
// Colours handed to a canvas are always plain RGB ($00BBGGRR, see Colors.h): the widgets resolve
// system colours through the host before they draw, so a canvas never sees the high byte set.
//
// A canvas belongs to the GUI thread that paints; its operations never block.
#pragma once

#include "Colors.h"

#include <string>

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
};

// Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint P) const
    {
        return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom;
    }
    bool operator==(const TRect&) const = default;
};

// A font as both Qt and GDI can honour it: a family name, a size in pixels and a weight on the
// common 100..900 scale (400 normal, 700 bold). The size is the character height in pixels
// (Qt's pixel size, GDI's negative lfHeight). A family the system lacks falls back to the
// system's choice, or to the substitutes the front end has installed.
struct TFont {
    static constexpr int Normal = 400;
    static constexpr int Bold = 700;

    std::string Family;
    int PixelSize = 12;
    int Weight = Normal;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    // False asks for glyphs without smoothed edges (GDI's NONANTIALIASED_QUALITY).
    bool Antialiased = true;
    bool operator==(const TFont&) const = default;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // Fills R with Color, every pixel of it; an empty R draws nothing.
    virtual void FillRect(const TRect& R, TColor Color) = 0;
    // A 1-pixel frame in Color along the outermost pixels of R: its top row, bottom row (Bottom
    // - 1), left column and right column (Right - 1). The inside is left as it is.
    virtual void FrameRect(const TRect& R, TColor Color) = 0;
    // Fills the ellipse inscribed in Bounds with Color, without an outline. An empty Bounds draws
    // nothing. Whether the pixels on the very edge of Bounds are filled is the system's rule.
    virtual void FillEllipse(const TRect& Bounds, TColor Color) = 0;
    // The system's dotted focus rectangle along the outline of R: every other pixel of the
    // outline inverted (exclusive or), starting with the top-left one, so that drawing it twice
    // leaves the picture as it was (GDI's DrawFocusRect). An empty R draws nothing.
    virtual void DrawFocusRect(const TRect& R) = 0;

    // Text is UTF-8 and one line. Width: the advance width of the whole text in Font; Height:
    // the font's line height (ascent plus descent, GDI's tmHeight).
    virtual TSize TextExtent(const std::string& Text, const TFont& Font) = 0;
    // Draws Text in Font and Color with the top-left corner of its line box at At, over a
    // transparent background (what lies behind the glyphs stays). Ampersands are drawn as they
    // stand; the character that starts at byte UnderlineAt of Text is underlined (-1: none).
    virtual void TextOut(
        TPoint At, const std::string& Text, int UnderlineAt, const TFont& Font, TColor Color)
        = 0;
};
