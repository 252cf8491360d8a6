#include "FlatProgressBarCore.h"

#include "FakeWidgetHost.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace WidgetTest;

namespace {

constexpr TColor Element = RGB(255, 0, 0);
constexpr TColor Border = RGB(0, 0, 255);
constexpr TColor Background = RGB(0, 255, 0);

struct TBar {
    TFakeBarHost Host;
    TFlatProgressBarCore Bar{ Host };

    // A loaded bar of the given size in three colours that are easy to tell apart.
    TBar(TSize Size, bool Smooth, int Position, TProgressBarOrientation Orientation = pbHorizontal)
    {
        Bar.SetOrientation(Orientation);
        Host.CurrentSize = Size;
        Bar.SetSmooth(Smooth);
        Bar.SetColorElement(Element);
        Bar.SetColorBorder(Border);
        Bar.SetColor(Background);
        Bar.SetPosition(Position);
        Bar.Loaded();
    }

    std::vector<TCanvasCall> Paint()
    {
        TRecordingCanvas Canvas;
        Bar.Paint(Canvas);
        return Canvas.Calls;
    }

    // Background and frame over the whole bar, then the fills.
    std::vector<TCanvasCall> Expected(std::vector<TCanvasCall> Fills) const
    {
        const TRect Whole{ 0, 0, Host.CurrentSize.Width, Host.CurrentSize.Height };
        Fills.insert(Fills.begin(), { Fill(Whole, Background), Frame(Whole, Border) });
        return Fills;
    }
};

} // namespace

TEST(FlatProgressBarCore, ConstructedAsTheFormExpects)
{
    TFakeBarHost Host;
    TFlatProgressBarCore Bar(Host);
    EXPECT_EQ(Host.CurrentSize, (TSize{ 147, 16 }));
    EXPECT_EQ(Bar.ColorElement(), RGB(51, 102, 153));
    EXPECT_EQ(Bar.ColorBorder(), RGB(160, 150, 131));
    EXPECT_EQ(Bar.AdvColorBorder(), 50);
    EXPECT_EQ(Bar.Orientation(), pbHorizontal);
    EXPECT_EQ(Bar.Step(), 10);
    EXPECT_FALSE(Bar.Smooth());
    EXPECT_TRUE(Bar.ParentColor());
    EXPECT_EQ(Bar.Color(), TFlatProgressBarCore::DefaultColor) << "no parent yet";
    Host.Parent = RGB(1, 2, 3);
    EXPECT_EQ(Bar.Color(), RGB(1, 2, 3));
}

TEST(FlatProgressBarCore, SmoothFillIsHandedOverAsComputed)
{
    TBar Bar({ 147, 16 }, true, 50);
    EXPECT_EQ(Bar.Paint(), Bar.Expected({ Fill({ 2, 2, 72, 14 }, Element) }));
    Bar.Bar.SetPosition(100);
    EXPECT_EQ(Bar.Paint(), Bar.Expected({ Fill({ 2, 2, 145, 14 }, Element) }));
    // At 0 the rectangle runs backwards from 2 to 0; past 100 it covers the frame and beyond.
    Bar.Bar.SetPosition(0);
    EXPECT_EQ(Bar.Paint(), Bar.Expected({ Fill({ 2, 2, 0, 14 }, Element) }));
    Bar.Bar.SetPosition(130);
    EXPECT_EQ(Bar.Paint(), Bar.Expected({ Fill({ 2, 2, 188, 14 }, Element) }));
    // A position whose product overflows 32 bits still gives a rectangle past the edge.
    Bar.Bar.SetPosition(2000000000);
    EXPECT_GT(Bar.Paint().back().R.Right, 147);

    TBar Vertical({ 17, 97 }, true, 50, pbVertical);
    EXPECT_EQ(Vertical.Paint(), Vertical.Expected({ Fill({ 2, 49, 15, 95 }, Element) }));
    Vertical.Bar.SetPosition(0);
    EXPECT_EQ(Vertical.Paint(), Vertical.Expected({ Fill({ 2, 95, 15, 95 }, Element) }));
    Vertical.Bar.SetPosition(130);
    EXPECT_EQ(Vertical.Paint(), Vertical.Expected({ Fill({ 2, -25, 15, 95 }, Element) }));
}

TEST(FlatProgressBarCore, BlocksAndTheirRounding)
{
    TBar Bar({ 147, 16 }, false, 50);
    std::vector<TCanvasCall> Blocks;
    for (int I = 0; I < 8; ++I) // 50 / 6 = 8.33
        Blocks.push_back(Fill({ 2 + 9 * I, 2, 10 + 9 * I, 14 }, Element));
    EXPECT_EQ(Bar.Paint(), Bar.Expected(Blocks));
    EXPECT_EQ(Bar.Host.Resizes.size(), 1u) << "16 blocks fit 147 exactly: no resize";

    auto FillCount = [&](int Position) {
        Bar.Bar.SetPosition(Position);
        return Bar.Paint().size() - 2;
    };
    EXPECT_EQ(FillCount(100), 16u) << "16.67 rounds to 17 and stops at 16";
    EXPECT_EQ(FillCount(3), 0u) << "0.5 rounds to the even 0";
    EXPECT_EQ(FillCount(9), 2u) << "1.5 rounds to the even 2";
    EXPECT_EQ(FillCount(-30), 0u);
}

TEST(FlatProgressBarCore, BlockBarSnapsItsLengthWhilePainting)
{
    TBar Bar({ 17, 97 }, false, 50, pbVertical);
    const std::vector<TCanvasCall> Calls = Bar.Paint();
    EXPECT_EQ(Bar.Host.CurrentSize, (TSize{ 17, 93 })) << "10 blocks";
    ASSERT_EQ(Calls.size(), 2u + 5u);
    EXPECT_EQ(Calls[0], Fill({ 0, 0, 17, 93 }, Background)) << "drawn at the snapped length";
    EXPECT_EQ(Calls[2], Fill({ 2, 83, 15, 91 }, Element)) << "the first block at the bottom";
    EXPECT_EQ(Calls[6], Fill({ 2, 47, 15, 55 }, Element));
    const size_t Resizes = Bar.Host.Resizes.size();
    Bar.Paint();
    EXPECT_EQ(Bar.Host.Resizes.size(), Resizes) << "the second paint finds the length snapped";

    TBar Short({ 10, 16 }, false, 100);
    const std::vector<TCanvasCall> Grown = Short.Paint();
    EXPECT_EQ(Short.Host.CurrentSize, (TSize{ 12, 16 }));
    EXPECT_EQ(Grown, Short.Expected({ Fill({ 2, 2, 10, 14 }, Element) }));

    TBar Smooth({ 100, 16 }, true, 100);
    Smooth.Paint();
    EXPECT_EQ(Smooth.Host.CurrentSize, (TSize{ 100, 16 })) << "a smooth bar keeps any length";
}

TEST(FlatProgressBarCore, RepaintRules)
{
    TBar Bar({ 147, 16 }, true, 40);
    const int Repaints = Bar.Host.Repaints, Invalidates = Bar.Host.Invalidates;
    // Unchanged values of the repainting properties do nothing.
    Bar.Bar.SetPosition(40);
    Bar.Bar.SetMin(0);
    Bar.Bar.SetMax(100);
    Bar.Bar.SetStep(10);
    Bar.Bar.SetOrientation(pbHorizontal);
    Bar.Bar.SetSmooth(true);
    Bar.Bar.SetUseAdvColors(false);
    EXPECT_EQ(Bar.Host.Paints(), Repaints + Invalidates);
    // Changed ones repaint at once.
    Bar.Bar.SetPosition(41);
    Bar.Bar.SetMin(1);
    Bar.Bar.SetMax(99);
    Bar.Bar.SetStep(1);
    EXPECT_EQ(Bar.Host.Repaints, Repaints + 4);
    // The colours invalidate even when unchanged.
    Bar.Bar.SetColorElement(Bar.Bar.ColorElement());
    Bar.Bar.SetColorBorder(Bar.Bar.ColorBorder());
    Bar.Bar.SetAdvColorBorder(Bar.Bar.AdvColorBorder());
    EXPECT_EQ(Bar.Host.Invalidates, Invalidates + 3);
    Bar.Bar.SetSmooth(false);
    EXPECT_EQ(Bar.Host.Invalidates, Invalidates + 4);
    EXPECT_EQ(Bar.Host.Repaints, Repaints + 4);
}

TEST(FlatProgressBarCore, OrientationSwapsTheSizeOnceLoaded)
{
    TFakeBarHost Host;
    TFlatProgressBarCore Bar(Host);
    // While the form is still being set up, the size it gave stays.
    Host.CurrentSize = { 17, 97 };
    Bar.SetOrientation(pbVertical);
    EXPECT_EQ(Host.CurrentSize, (TSize{ 17, 97 }));
    EXPECT_EQ(Host.Repaints, 1) << "a changed Orientation repaints at once";
    Bar.Loaded();
    Bar.SetOrientation(pbHorizontal);
    EXPECT_EQ(Host.CurrentSize, (TSize{ 97, 17 }));
    Bar.SetOrientation(pbHorizontal);
    EXPECT_EQ(Host.CurrentSize, (TSize{ 97, 17 })) << "an unchanged value swaps nothing";
    EXPECT_EQ(Host.Repaints, 2);
}

TEST(FlatProgressBarCore, SystemColoursResolveThroughTheHost)
{
    TBar Bar({ 147, 16 }, true, 100);
    Bar.Bar.SetColorElement(clBackground);
    Bar.Bar.SetColor(clBtnFace);
    Bar.Host.Palette[SystemColorIndex(clBackground)] = RGB(9, 8, 7);
    Bar.Host.Palette[SystemColorIndex(clBtnFace)] = RGB(6, 5, 4);
    const std::vector<TCanvasCall> Calls = Bar.Paint();
    EXPECT_EQ(Calls[0].Color, RGB(6, 5, 4));
    EXPECT_EQ(Calls[2].Color, RGB(9, 8, 7));
    EXPECT_EQ(Bar.Bar.ColorElement(), clBackground) << "the property keeps the system colour";
}

TEST(FlatProgressBarCore, AdvancedColoursFollowTheParent)
{
    TFakeBarHost Host;
    TFlatProgressBarCore Bar(Host);
    Host.Parent = clWhite;
    Bar.SetColor(clBlack);
    EXPECT_FALSE(Bar.ParentColor());

    Bar.SetUseAdvColors(true);
    EXPECT_TRUE(Bar.ParentColor());
    EXPECT_EQ(Bar.Color(), clWhite);
    EXPECT_EQ(Bar.ColorBorder(), RGB(212, 212, 212)) << "white lowered by 40 of 240";
    Bar.SetAdvColorBorder(0);
    EXPECT_EQ(Bar.ColorBorder(), RGB(212, 212, 212)) << "0 keeps the border";
    Bar.SetAdvColorBorder(10);
    EXPECT_EQ(Bar.ColorBorder(), clWhite);
    EXPECT_THROW(Bar.SetAdvColorBorder(101), std::out_of_range);
    EXPECT_THROW(Bar.SetAdvColorBorder(-1), std::out_of_range);
    EXPECT_EQ(Bar.AdvColorBorder(), 10) << "a refused value changes nothing";
    Bar.SetAdvColorBorder(50);

    Host.Parent = RGB(0, 0, 85);
    const int Invalidates = Host.Invalidates;
    Bar.ParentColorChanged();
    EXPECT_EQ(Bar.ColorBorder(), clBlack);
    EXPECT_EQ(Host.Invalidates, Invalidates + 1);
    Host.Parent = clWhite;
    Bar.SystemColorsChanged();
    EXPECT_EQ(Bar.ColorBorder(), RGB(212, 212, 212));

    // Turning it off leaves the border and keeps the colour last shown.
    Bar.SetUseAdvColors(false);
    EXPECT_FALSE(Bar.ParentColor());
    Host.Parent = RGB(0, 0, 85);
    Bar.ParentColorChanged();
    EXPECT_EQ(Bar.ColorBorder(), RGB(212, 212, 212));
    EXPECT_EQ(Bar.Color(), clWhite);
}
