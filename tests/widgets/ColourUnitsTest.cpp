#include "FlatUtilitys.h"
#include "HSLUtils.h"
#include "SystemPalette.h"

#include <gtest/gtest.h>

namespace {

struct THSL {
    int H, S, L;
    bool operator==(const THSL&) const = default;
};
THSL ToHSL(TColor Color)
{
    THSL Result;
    ColorToHSL(Color, Result.H, Result.S, Result.L);
    return Result;
}

TColor AlwaysWhite(TColor)
{
    return clWhite;
}
int ResolverCalls = 0;
TColor CountingResolver(TColor Color)
{
    ++ResolverCalls;
    return Color;
}

} // namespace

TEST(HSLUtils, WorkedValuesUseTheHueScaleOf239)
{
    EXPECT_EQ(ToHSL(RGB(255, 0, 0)), (THSL{ 0, 240, 120 }));
    EXPECT_EQ(ToHSL(RGB(0, 255, 0)), (THSL{ 80, 240, 120 })); // 239 / 3 = 79.67
    EXPECT_EQ(ToHSL(RGB(0, 0, 255)), (THSL{ 159, 240, 120 }));
    EXPECT_EQ(ToHSL(RGB(255, 0, 255)), (THSL{ 199, 240, 120 })); // negative hue wraps
    EXPECT_EQ(ToHSL(RGB(128, 128, 128)), (THSL{ 0, 0, 120 }));
    EXPECT_EQ(ToHSL(RGB(51, 102, 153)), (THSL{ 139, 120, 96 }));
    EXPECT_EQ(ToHSL(RGB(235, 233, 225)), (THSL{ 32, 48, 216 }));
    // Back again the hue scale of 239 against 240 shows: hue 80 is a little past pure green.
    EXPECT_EQ(HSLToColor(80, 240, 120), RGB(0, 255, 2));
    EXPECT_EQ(HSLToColor(40, 240, 120), RGB(254, 255, 0));
    EXPECT_EQ(HSLToColor(159, 240, 120), RGB(0, 2, 255));
    EXPECT_EQ(HSLToColor(0, 240, 120), RGB(255, 0, 0));
    EXPECT_EQ(HSLToColor(139, 120, 96), RGB(51, 103, 153));
    EXPECT_EQ(HSLToColor(32, 48, 216), RGB(235, 233, 224));
}

TEST(HSLUtils, HalvesRoundToEven)
{
    // Grey lightness 8 is 8.5 of 255 and 24 is 25.5: to the even neighbour, not upwards.
    EXPECT_EQ(HSLToColor(0, 0, 8), RGB(8, 8, 8));
    EXPECT_EQ(HSLToColor(0, 0, 24), RGB(26, 26, 26));
    EXPECT_EQ(HSLToColor(0, 0, 200), RGB(212, 212, 212)); // 212.5
}

TEST(HSLUtils, RoundTripsKeepGreysWithinOneStep)
{
    for (int V = 0; V <= 255; ++V) {
        const THSL Hsl = ToHSL(RGB(V, V, V));
        const TColor Back = HSLToColor(Hsl.H, Hsl.S, Hsl.L);
        EXPECT_NEAR(GetRValue(Back), V, 1) << "grey " << V;
        EXPECT_EQ(GetRValue(Back), GetBValue(Back));
    }
    for (TColor Color : { RGB(255, 0, 0), clWhite, clBlack }) {
        const THSL Hsl = ToHSL(Color);
        EXPECT_EQ(HSLToColor(Hsl.H, Hsl.S, Hsl.L), Color) << std::hex << Color;
    }
}

TEST(FlatUtilitys, DarkenColor)
{
    // Percentage 0 returns the fallback and does not even look at the colour.
    ResolverCalls = 0;
    EXPECT_EQ(DarkenColor(clBtnFace, RGB(1, 2, 3), 0, CountingResolver), RGB(1, 2, 3));
    EXPECT_EQ(DarkenColor(clWhite, RGB(1, 2, 3), 0, CountingResolver), RGB(1, 2, 3));
    EXPECT_EQ(ResolverCalls, 0);
    // With 50, lightness 40 or less becomes black.
    EXPECT_EQ(ToHSL(RGB(0, 0, 85)).L, 40);
    EXPECT_EQ(DarkenColor(RGB(0, 0, 85), clWhite, 50, CountingResolver), clBlack);
    EXPECT_EQ(DarkenColor(RGB(40, 0, 0), clWhite, 50, CountingResolver), clBlack);
    EXPECT_NE(DarkenColor(RGB(0, 0, 87), clWhite, 50, CountingResolver), clBlack);
    // White loses 40 of its 240 steps; a system colour is resolved first.
    EXPECT_EQ(DarkenColor(clWhite, clBlack, 50, CountingResolver), RGB(212, 212, 212));
    EXPECT_EQ(DarkenColor(clBtnFace, clBlack, 50, AlwaysWhite), RGB(212, 212, 212));
    EXPECT_EQ(DarkenColor(clWhite, clBlack, 10, CountingResolver), clWhite);
    // Below 10 the lift carries the lightness past 240: the channels stay at full, never wrap.
    EXPECT_EQ(DarkenColor(clWhite, clBlack, 1, CountingResolver), clWhite);
    EXPECT_EQ(DarkenColor(RGB(255, 255, 240), clBlack, 1, CountingResolver), clWhite);
    EXPECT_EQ(HSLToColor(40, 240, 249), clWhite);
}

TEST(SystemPalette, ResolvesSystemColoursAndKeepsFixedOnes)
{
    TSystemPalette Palette = ClassicSystemPalette;
    Palette[SystemColorIndex(clInfoBk)] = RGB(10, 20, 30);
    Palette[SystemColorIndex(clWindowText)] = RGB(40, 50, 60);
    EXPECT_EQ(ColorToRGB(clInfoBk, Palette), RGB(10, 20, 30));
    EXPECT_EQ(ColorToRGB(RGB(1, 2, 3) | 0x12000000u, Palette), RGB(1, 2, 3))
        << "a fixed colour loses its high byte only";
    EXPECT_EQ(ColorToRGB(SystemColorFlag | 200, Palette), RGB(40, 50, 60))
        << "an index without a value reads as the window text";
    static_assert(ColorToRGB(clBtnFace, ClassicSystemPalette) == RGB(212, 208, 200));
}
