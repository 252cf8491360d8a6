// The bevel's pixels on a small raster: which pixel takes which 3-D colour, and what stays as it
// was beneath.
#include "BevelPaint.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr TColor Beneath = RGB(1, 2, 3);
const TColor Shadow = ClassicSystemPalette[SystemColorIndex(clBtnShadow)];
const TColor Highlight = ClassicSystemPalette[SystemColorIndex(clBtnHighlight)];

// Pixels filled by FillRect, clipped to the raster; nothing else is drawn by a bevel.
class TPixelCanvas : public TCanvas {
public:
    TPixelCanvas(int Width, int Height)
        : FWidth(Width)
        , FHeight(Height)
        , FPixels(size_t(Width * Height), Beneath)
    {
    }
    TColor At(int X, int Y) const { return FPixels[size_t(Y * FWidth + X)]; }

    void FillRect(const TRect& R, TColor Color) override
    {
        for (int Y = std::max(R.Top, 0); Y < std::min(R.Bottom, FHeight); ++Y)
            for (int X = std::max(R.Left, 0); X < std::min(R.Right, FWidth); ++X)
                FPixels[size_t(Y * FWidth + X)] = Color;
    }
    void FrameRect(const TRect&, TColor) override { ADD_FAILURE() << "a bevel draws no frame"; }
    void FillEllipse(const TRect&, TColor) override { ADD_FAILURE(); }
    void DrawFocusRect(const TRect&) override { ADD_FAILURE(); }
    TSize TextExtent(const std::string&, const TFont&) override { return {}; }
    void TextOut(TPoint, const std::string&, int, const TFont&, TColor) override { ADD_FAILURE(); }

private:
    int FWidth;
    int FHeight;
    std::vector<TColor> FPixels;
};

TEST(BevelPaint, ABoxIsShadowTopAndLeftAndHighlightBottomAndRightOverTheCorners)
{
    TPixelCanvas Canvas(6, 4);
    PaintBevel(Canvas, bsBox, { 6, 4 }, ClassicSystemPalette);
    EXPECT_EQ(Canvas.At(0, 0), Shadow);
    EXPECT_EQ(Canvas.At(4, 0), Shadow);
    EXPECT_EQ(Canvas.At(0, 2), Shadow);
    // The highlight, drawn last, takes the top-right and bottom-left corners.
    EXPECT_EQ(Canvas.At(5, 0), Highlight);
    EXPECT_EQ(Canvas.At(0, 3), Highlight);
    EXPECT_EQ(Canvas.At(5, 3), Highlight);
    EXPECT_EQ(Canvas.At(3, 3), Highlight);
    EXPECT_EQ(Canvas.At(5, 2), Highlight);
    for (int Y = 1; Y < 3; ++Y)
        for (int X = 1; X < 5; ++X)
            EXPECT_EQ(Canvas.At(X, Y), Beneath) << X << "," << Y;
}

TEST(BevelPaint, ALineIsAShadowRowOverAHighlightRowAndNothingBelow)
{
    TPixelCanvas Canvas(127, 9);
    PaintBevel(Canvas, bsTopLine, { 127, 9 }, ClassicSystemPalette);
    for (int X : { 0, 63, 126 }) {
        EXPECT_EQ(Canvas.At(X, 0), Shadow);
        EXPECT_EQ(Canvas.At(X, 1), Highlight);
        for (int Y = 2; Y < 9; ++Y)
            EXPECT_EQ(Canvas.At(X, Y), Beneath);
    }
}

TEST(BevelPaint, TheColoursFollowTheSystemsScheme)
{
    TSystemPalette Dark = ClassicSystemPalette;
    Dark[SystemColorIndex(clBtnShadow)] = RGB(10, 0, 0);
    Dark[SystemColorIndex(clBtnHighlight)] = RGB(0, 0, 10);
    TPixelCanvas Canvas(3, 3);
    PaintBevel(Canvas, bsBox, { 3, 3 }, Dark);
    EXPECT_EQ(Canvas.At(0, 0), RGB(10, 0, 0));
    EXPECT_EQ(Canvas.At(2, 2), RGB(0, 0, 10));
    EXPECT_EQ(Canvas.At(1, 1), Beneath);
}

} // namespace
