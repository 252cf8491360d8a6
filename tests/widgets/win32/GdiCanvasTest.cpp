// The GDI canvas on a 32-bit bitmap in memory: exact pixels of its shapes, its colour byte order,
// the underline of one character, and the two widgets painted through it as the window shows them.
#include "GdiCanvas.h"

#include "FakeWidgetHost.h"
#include "FlatProgressBarCore.h"
#include "GradBtnCore.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A top-down 32-bit bitmap selected into a memory device context.
class TBitmapSurface {
public:
    TBitmapSurface(int Width, int Height, TColor Fill)
        : FWidth(Width)
        , FHeight(Height)
    {
        const BITMAPINFO Info = TopDownBitmapInfo(Width, Height);
        FDc = CreateCompatibleDC(nullptr);
        FBitmap = CreateDIBSection(FDc, &Info, DIB_RGB_COLORS, &FBits, nullptr, 0);
        FPrevious = SelectObject(FDc, FBitmap);
        TGdiFonts Fonts;
        TGdiCanvas(FDc, Fonts).FillRect(TRect{ 0, 0, Width, Height }, Fill);
    }
    ~TBitmapSurface()
    {
        SelectObject(FDc, FPrevious);
        DeleteObject(FBitmap);
        DeleteDC(FDc);
    }

    HDC Dc() const { return FDc; }
    // The pixel as a colour value, red in the low byte.
    TColor Pixel(int X, int Y) const
    {
        GdiFlush();
        const uint32_t Bgra = static_cast<const uint32_t*>(FBits)[Y * FWidth + X];
        return RGB(uint8_t(Bgra >> 16), uint8_t(Bgra >> 8), uint8_t(Bgra));
    }
    std::vector<TColor> Pixels() const
    {
        std::vector<TColor> All;
        for (int Y = 0; Y < FHeight; ++Y)
            for (int X = 0; X < FWidth; ++X)
                All.push_back(Pixel(X, Y));
        return All;
    }

private:
    int FWidth;
    int FHeight;
    HDC FDc = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FPrevious = nullptr;
    void* FBits = nullptr;
};

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Odd = RGB(1, 2, 3);

TFont SerifFont()
{
    TFont Font;
    Font.Family = "Times New Roman";
    Font.PixelSize = 13;
    return Font;
}

// The columns where two pictures of the same size differ.
std::vector<int> ChangedColumns(
    const TBitmapSurface& A, const TBitmapSurface& B, int Width, int Height)
{
    std::vector<int> Columns;
    for (int X = 0; X < Width; ++X)
        for (int Y = 0; Y < Height; ++Y)
            if (A.Pixel(X, Y) != B.Pixel(X, Y)) {
                Columns.push_back(X);
                break;
            }
    return Columns;
}

} // namespace

TEST(GdiCanvas, RectanglesCoverTheirPixelsWithTheRightEdgesAndTheRightColourOrder)
{
    TBitmapSurface Surface(10, 10, White);
    TGdiFonts Fonts;
    TGdiCanvas Canvas(Surface.Dc(), Fonts);
    Canvas.FillRect(TRect{ 2, 3, 5, 7 }, Odd);
    EXPECT_EQ(Surface.Pixel(2, 3), Odd);
    EXPECT_EQ(Surface.Pixel(4, 6), Odd);
    EXPECT_EQ(Surface.Pixel(5, 6), White);
    EXPECT_EQ(Surface.Pixel(4, 7), White);
    EXPECT_EQ(Surface.Pixel(1, 3), White);

    Canvas.FillRect(TRect{ 6, 6, 6, 9 }, Odd);
    Canvas.FillRect(TRect{ 8, 2, 6, 4 }, Odd);
    EXPECT_EQ(Surface.Pixel(6, 6), White);
    EXPECT_EQ(Surface.Pixel(7, 2), White);

    TBitmapSurface Framed(10, 10, White);
    TGdiCanvas FrameCanvas(Framed.Dc(), Fonts);
    FrameCanvas.FrameRect(TRect{ 1, 1, 6, 5 }, Odd);
    EXPECT_EQ(Framed.Pixel(1, 1), Odd);
    EXPECT_EQ(Framed.Pixel(5, 4), Odd);
    EXPECT_EQ(Framed.Pixel(5, 2), Odd);
    EXPECT_EQ(Framed.Pixel(3, 4), Odd);
    EXPECT_EQ(Framed.Pixel(3, 2), White);
    EXPECT_EQ(Framed.Pixel(6, 4), White);
    EXPECT_EQ(Framed.Pixel(3, 5), White);
}

TEST(GdiCanvas, EllipseStaysInsideItsBoundsAndFillsItsMiddle)
{
    TBitmapSurface Surface(20, 12, White);
    TGdiFonts Fonts;
    TGdiCanvas(Surface.Dc(), Fonts).FillEllipse(TRect{ 2, 2, 18, 10 }, Odd);
    EXPECT_EQ(Surface.Pixel(10, 6), Odd);
    EXPECT_EQ(Surface.Pixel(2, 2), White);
    for (int X = 0; X < 20; ++X) {
        EXPECT_EQ(Surface.Pixel(X, 1), White);
        EXPECT_EQ(Surface.Pixel(X, 10), White);
    }
}

TEST(GdiCanvas, FocusRectangleDrawnTwiceLeavesThePictureAsItWas)
{
    TBitmapSurface Surface(12, 12, RGB(40, 90, 200));
    TGdiFonts Fonts;
    TGdiCanvas Canvas(Surface.Dc(), Fonts);
    const std::vector<TColor> Before = Surface.Pixels();
    Canvas.DrawFocusRect(TRect{ 2, 2, 10, 10 });
    const std::vector<TColor> Once = Surface.Pixels();
    EXPECT_NE(Once, Before);
    // Only the outline changes, each changed pixel inverted.
    for (int Y = 0; Y < 12; ++Y)
        for (int X = 0; X < 12; ++X) {
            const bool Outline
                = (X == 2 || X == 9 || Y == 2 || Y == 9) && X >= 2 && X <= 9 && Y >= 2 && Y <= 9;
            const TColor Now = Once[size_t(Y * 12 + X)];
            const TColor Was = Before[size_t(Y * 12 + X)];
            if (!Outline) {
                EXPECT_EQ(Now, Was) << X << "," << Y;
            } else if (Now != Was) {
                EXPECT_EQ(Now, RGB(255 - 40, 255 - 90, 255 - 200)) << X << "," << Y;
            }
        }
    Canvas.DrawFocusRect(TRect{ 2, 2, 10, 10 });
    EXPECT_EQ(Surface.Pixels(), Before);
}

TEST(GdiCanvas, TextIsDrawnWithinItsExtentAndOnlyTheChosenCharacterIsUnderlined)
{
    const TFont Font = SerifFont();
    // "ä" takes two bytes in UTF-8 and one unit in UTF-16: the underline follows characters.
    for (const auto& [Text, Prefix, UnderlineAt] :
        { std::tuple{ "Save", "S", 1 }, std::tuple{ "\xC3\xA4x", "\xC3\xA4", 2 } }) {
        SCOPED_TRACE(Text);
        TBitmapSurface Plain(60, 20, White);
        TBitmapSurface Underlined(60, 20, White);
        TGdiFonts Fonts;
        TGdiCanvas PlainCanvas(Plain.Dc(), Fonts);
        TGdiCanvas UnderlinedCanvas(Underlined.Dc(), Fonts);
        const TSize Extent = PlainCanvas.TextExtent(Text, Font);
        const int Before = PlainCanvas.TextExtent(Prefix, Font).Width;
        const int Through
            = PlainCanvas.TextExtent(std::string(Text).substr(0, UnderlineAt + 1), Font).Width;
        PlainCanvas.TextOut(TPoint{ 3, 2 }, Text, -1, Font, Odd);
        UnderlinedCanvas.TextOut(TPoint{ 3, 2 }, Text, UnderlineAt, Font, Odd);

        TBitmapSurface Empty(60, 20, White);
        const std::vector<int> Inked = ChangedColumns(Empty, Plain, 60, 20);
        ASSERT_FALSE(Inked.empty());
        EXPECT_GE(Inked.front(), 3);
        EXPECT_LT(Inked.back(), 3 + Extent.Width + 1);

        const std::vector<int> Line = ChangedColumns(Plain, Underlined, 60, 20);
        ASSERT_FALSE(Line.empty());
        EXPECT_GE(Line.front(), 3 + Before);
        EXPECT_LE(Line.back(), 3 + Through);
    }
}

TEST(GdiCanvas, HorizontalBarAtHalfFillsColumnsTwoToSeventyOne)
{
    WidgetTest::TFakeBarHost Host;
    TFlatProgressBarCore Bar(Host);
    Bar.SetSmooth(true);
    Bar.SetColorElement(Odd);
    Bar.SetPosition(50);
    TBitmapSurface Surface(147, 16, White);
    TGdiFonts Fonts;
    TGdiCanvas Canvas(Surface.Dc(), Fonts);
    Bar.Paint(Canvas);
    EXPECT_EQ(Surface.Pixel(0, 8), Bar.ColorBorder());
    EXPECT_NE(Surface.Pixel(1, 8), Odd);
    EXPECT_EQ(Surface.Pixel(2, 8), Odd);
    EXPECT_EQ(Surface.Pixel(71, 8), Odd);
    EXPECT_NE(Surface.Pixel(72, 8), Odd);
    EXPECT_EQ(Surface.Pixel(2, 13), Odd);
    EXPECT_NE(Surface.Pixel(2, 14), Odd);
}

TEST(GdiCanvas, SaveAsFaceRunsFromGrey200ToGrey95WithWhiteAndBlackEdges)
{
    WidgetTest::TFakeBtnHost Host;
    TGradBtnCore Button(Host);
    Host.Resize(TSize{ 47, 18 });
    Button.SetGradientStyle(gsVertical);
    Button.SetBeginColor(RGB(206, 206, 206));
    Button.SetEndColor(RGB(95, 95, 95));
    Button.SetBtnHiliteClr(clWhite);
    Button.SetBtnShadowClr(clBlack);
    TBitmapSurface Surface(47, 18, Odd);
    TGdiFonts Fonts;
    TGdiCanvas Canvas(Surface.Dc(), Fonts);
    Button.Paint(Canvas);
    const int Greys[] = { 200, 194, 188, 182, 176, 169, 163, 157, 151, 145, 139, 132, 126, 120, 114,
        108, 102, 95 };
    for (int Row = 1; Row < 17; ++Row)
        EXPECT_EQ(Surface.Pixel(10, Row), RGB(Greys[Row], Greys[Row], Greys[Row])) << Row;
    EXPECT_EQ(Surface.Pixel(10, 0), clWhite);
    EXPECT_EQ(Surface.Pixel(0, 9), clWhite);
    EXPECT_EQ(Surface.Pixel(10, 17), clBlack);
    EXPECT_EQ(Surface.Pixel(46, 9), clBlack);
}
