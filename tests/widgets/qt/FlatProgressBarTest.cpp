#include "TFlatProgressBarUnit.h"
#include "WidgetTestSupport.h"

#include <QPalette>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace WidgetTest;

namespace {

const QColor Element(255, 0, 0);
const QColor Border(0, 0, 255);
const QColor Background(0, 255, 0);

// A bar of the given size in three colours that are easy to tell apart.
std::unique_ptr<TFlatProgressBar> MakeBar(int Width, int Height, bool Smooth, int Position,
    TProgressBarOrientation Orientation = pbHorizontal)
{
    App();
    auto Bar = std::make_unique<TFlatProgressBar>();
    Bar->setOrientation(Orientation);
    Bar->resize(Width, Height);
    Bar->setSmooth(Smooth);
    Bar->setColorElement(RGB(255, 0, 0));
    Bar->setColorBorder(RGB(0, 0, 255));
    Bar->setColor(RGB(0, 255, 0));
    Bar->setPosition(Position);
    return Bar;
}

// A block bar snaps its length while it paints, then paints once more at the new size.
QImage RenderSnapped(TFlatProgressBar& Bar)
{
    Render(Bar);
    return Render(Bar);
}

bool OnlyBackgroundAndFrame(const QImage& Image)
{
    return CountOf(Image, Element) == 0
        && CountOf(Image, Border) == 2 * (Image.width() + Image.height()) - 4;
}

} // namespace

TEST(FlatProgressBar, SmoothHorizontalFill)
{
    auto Bar = MakeBar(147, 16, true, 50);
    QImage Image = Render(*Bar);
    for (int Y = 2; Y < 14; ++Y)
        ASSERT_EQ(RunsInRow(Image, Y, Element), (std::vector<TRun>{ { 2, 70 } })) << "row " << Y;
    EXPECT_EQ(RunsInColumn(Image, 10, Element), (std::vector<TRun>{ { 2, 12 } }));
    EXPECT_EQ(At(Image, 0, 8), Border);
    EXPECT_EQ(At(Image, 1, 8), Background);
    EXPECT_EQ(At(Image, 72, 8), Background);

    // Min and Max take no part in drawing.
    Bar->setMin(50);
    Bar->setMax(200);
    EXPECT_EQ(RunsInRow(Render(*Bar), 8, Element), (std::vector<TRun>{ { 2, 70 } }));

    Bar->setPosition(100);
    Image = Render(*Bar);
    EXPECT_EQ(RunsInRow(Image, 8, Element), (std::vector<TRun>{ { 2, 143 } }));
    EXPECT_EQ(At(Image, 145, 8), Background);
    EXPECT_EQ(At(Image, 146, 8), Border);

    Bar->setPosition(0);
    EXPECT_TRUE(OnlyBackgroundAndFrame(Render(*Bar)));
}

TEST(FlatProgressBar, SmoothVerticalFillsFromTheBottom)
{
    auto Bar = MakeBar(17, 97, true, 50, pbVertical);
    QImage Image = Render(*Bar);
    for (int X = 2; X < 15; ++X)
        ASSERT_EQ(RunsInColumn(Image, X, Element), (std::vector<TRun>{ { 49, 46 } }))
            << "column " << X;
    EXPECT_EQ(RunsInRow(Image, 60, Element), (std::vector<TRun>{ { 2, 13 } }));

    Bar->setPosition(0);
    EXPECT_TRUE(OnlyBackgroundAndFrame(Render(*Bar)));
}

TEST(FlatProgressBar, PositionAbove100PaintsOverTheFrame)
{
    auto Bar = MakeBar(147, 16, true, 130);
    QImage Image = Render(*Bar);
    EXPECT_EQ(RunsInRow(Image, 8, Element), (std::vector<TRun>{ { 2, 145 } }));
    EXPECT_EQ(At(Image, 146, 0), Border) << "the rows outside the fill keep their frame";

    Bar = MakeBar(17, 97, true, 130, pbVertical);
    Image = Render(*Bar);
    EXPECT_EQ(RunsInColumn(Image, 8, Element), (std::vector<TRun>{ { 0, 95 } }));
    EXPECT_EQ(At(Image, 0, 0), Border);
}

TEST(FlatProgressBar, NegativePositionDrawsOnlyBackgroundAndFrame)
{
    for (bool Smooth : { true, false }) {
        for (auto Orientation : { pbHorizontal, pbVertical }) {
            auto Bar = Orientation == pbHorizontal ? MakeBar(147, 16, Smooth, -30)
                                                   : MakeBar(17, 93, Smooth, -30, pbVertical);
            EXPECT_TRUE(OnlyBackgroundAndFrame(RenderSnapped(*Bar)))
                << "smooth " << Smooth << " orientation " << Orientation;
        }
    }
}

TEST(FlatProgressBar, HorizontalBlocks)
{
    auto Bar = MakeBar(147, 16, false, 50);
    QImage Image = RenderSnapped(*Bar);
    EXPECT_EQ(Bar->width(), 147) << "16 blocks fit exactly";
    std::vector<TRun> Blocks = RunsInRow(Image, 8, Element);
    ASSERT_EQ(Blocks.size(), 8u); // 50 / 6 = 8.33
    for (size_t I = 0; I < Blocks.size(); ++I)
        EXPECT_EQ(Blocks[I], (TRun{ 2 + 9 * int(I), 8 }));
    EXPECT_EQ(RunsInColumn(Image, 3, Element), (std::vector<TRun>{ { 2, 12 } }));

    Bar->setPosition(100); // 16.67 rounds to 17 and stops at 16
    Blocks = RunsInRow(RenderSnapped(*Bar), 8, Element);
    ASSERT_EQ(Blocks.size(), 16u);
    EXPECT_EQ(Blocks.back(), (TRun{ 137, 8 }));

    Bar->setPosition(3); // 0.5 rounds to the even 0
    EXPECT_TRUE(RunsInRow(RenderSnapped(*Bar), 8, Element).empty());
    Bar->setPosition(9); // 1.5 rounds to the even 2
    EXPECT_EQ(RunsInRow(RenderSnapped(*Bar), 8, Element).size(), 2u);
}

TEST(FlatProgressBar, BlockLengthSnapsAtPaint)
{
    auto Bar = MakeBar(17, 97, false, 50, pbVertical);
    QImage Image = RenderSnapped(*Bar);
    EXPECT_EQ(Bar->size(), QSize(17, 93));
    // 10 blocks of 10 percent; the first sits at the bottom.
    EXPECT_EQ(RunsInColumn(Image, 8, Element),
        (std::vector<TRun>{ { 47, 8 }, { 56, 8 }, { 65, 8 }, { 74, 8 }, { 83, 8 } }));
    EXPECT_EQ(RunsInRow(Image, 50, Element), (std::vector<TRun>{ { 2, 13 } }));
    Bar->setPosition(100);
    EXPECT_EQ(RunsInColumn(RenderSnapped(*Bar), 8, Element).size(), 10u);

    Bar = MakeBar(10, 16, false, 100);
    Image = RenderSnapped(*Bar);
    EXPECT_EQ(Bar->width(), 12);
    EXPECT_EQ(RunsInRow(Image, 8, Element), (std::vector<TRun>{ { 2, 8 } }));

    // A smooth bar keeps any length.
    Bar = MakeBar(100, 16, true, 100);
    RenderSnapped(*Bar);
    EXPECT_EQ(Bar->width(), 100);
}

TEST(FlatProgressBar, OrientationSwapsTheSizeOnceLoaded)
{
    App();
    TFlatProgressBar Bar;
    // While the form is still being set up, the size it gave stays.
    Bar.resize(17, 97);
    Bar.setOrientation(pbVertical);
    EXPECT_EQ(Bar.size(), QSize(17, 97));
    Bar.setOrientation(pbHorizontal);
    Bar.resize(147, 16);

    Bar.ensurePolished();
    Bar.setOrientation(pbVertical);
    EXPECT_EQ(Bar.size(), QSize(16, 147));
    Bar.setOrientation(pbVertical);
    EXPECT_EQ(Bar.size(), QSize(16, 147)) << "an unchanged value swaps nothing";
    Bar.setOrientation(pbHorizontal);
    EXPECT_EQ(Bar.size(), QSize(147, 16));
}

TEST(FlatProgressBar, RepaintRules)
{
    auto Bar = MakeBar(147, 16, true, 40);
    Bar->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Bar.get()));
    Settle();

    // Position, Min, Max, Step and Orientation repaint at once, and only when changed.
    int Before = Bar->PaintCount();
    Bar->setPosition(40);
    Bar->setMin(0);
    Bar->setMax(100);
    Bar->setStep(10);
    Bar->setOrientation(pbHorizontal);
    Settle();
    EXPECT_EQ(Bar->PaintCount(), Before);
    Bar->setPosition(41);
    EXPECT_EQ(Bar->PaintCount(), Before + 1) << "painted before the setter returned";
    Bar->setStep(1);
    EXPECT_EQ(Bar->PaintCount(), Before + 2);

    // The colours invalidate even when unchanged; the paint follows in the next cycle.
    Settle();
    Before = Bar->PaintCount();
    Bar->setColorElement(Bar->ColorElement());
    EXPECT_EQ(Bar->PaintCount(), Before);
    Settle();
    EXPECT_EQ(Bar->PaintCount(), Before + 1);
    Bar->setColorBorder(Bar->ColorBorder());
    Bar->setAdvColorBorder(50);
    Settle();
    EXPECT_EQ(Bar->PaintCount(), Before + 2);

    // Smooth and UseAdvColors invalidate only when changed.
    Bar->setSmooth(true);
    Bar->setUseAdvColors(false);
    Settle();
    EXPECT_EQ(Bar->PaintCount(), Before + 2);
    Bar->setUseAdvColors(true);
    EXPECT_EQ(Bar->PaintCount(), Before + 2);
    Settle();
    EXPECT_EQ(Bar->PaintCount(), Before + 3);

    // A changed Orientation repaints at once.
    Bar->setOrientation(pbVertical);
    EXPECT_EQ(Bar->PaintCount(), Before + 4);
}

TEST(FlatProgressBar, AdvancedColoursFollowTheParent)
{
    App();
    QWidget Parent;
    QPalette Palette = Parent.palette();
    Palette.setColor(Parent.backgroundRole(), QColor(255, 255, 255));
    Parent.setPalette(Palette);
    auto* Bar = new TFlatProgressBar(&Parent);
    Bar->setColor(RGB(0, 0, 0));
    EXPECT_FALSE(Bar->ParentColor());

    Bar->setUseAdvColors(true);
    EXPECT_TRUE(Bar->ParentColor());
    EXPECT_EQ(Bar->Color(), clWhite);
    EXPECT_EQ(Bar->ColorBorder(), RGB(212, 212, 212)) << "white lowered by 40 of 240";

    Bar->setAdvColorBorder(0);
    EXPECT_EQ(Bar->ColorBorder(), RGB(212, 212, 212)) << "0 keeps the border";
    Bar->setAdvColorBorder(10);
    EXPECT_EQ(Bar->ColorBorder(), clWhite);
    EXPECT_THROW(Bar->setAdvColorBorder(101), std::out_of_range);
    Bar->setAdvColorBorder(50);

    // The parent's colour changes: the border follows.
    Palette.setColor(Parent.backgroundRole(), QColor(0, 0, 85));
    Parent.setPalette(Palette);
    EXPECT_EQ(Bar->Color(), RGB(0, 0, 85));
    EXPECT_EQ(Bar->ColorBorder(), clBlack);

    // Turning it off leaves the border and stops following the parent.
    Bar->setUseAdvColors(false);
    EXPECT_FALSE(Bar->ParentColor());
    Palette.setColor(Parent.backgroundRole(), QColor(255, 255, 255));
    Parent.setPalette(Palette);
    EXPECT_EQ(Bar->ColorBorder(), clBlack);
    EXPECT_EQ(Bar->Color(), RGB(0, 0, 85));
}

TEST(FlatProgressBar, AdvancedColoursFollowTheSystemColours)
{
    App();
    const QPalette Saved = QGuiApplication::palette();
    QPalette System = Saved;
    System.setColor(QPalette::Window, QColor(255, 255, 255));
    QApplication::setPalette(System);
    QWidget Parent;
    auto* Bar = new TFlatProgressBar(&Parent);
    Bar->setUseAdvColors(true);
    EXPECT_EQ(Bar->ColorBorder(), RGB(212, 212, 212));

    // The parent takes its colour from the system's; the border follows it.
    System.setColor(QPalette::Window, QColor(0, 0, 85));
    QApplication::setPalette(System);
    Settle(); // the toolkit hands a palette change to the widgets as a posted event
    EXPECT_EQ(Bar->Color(), RGB(0, 0, 85));
    EXPECT_EQ(Bar->ColorBorder(), clBlack);
    QApplication::setPalette(Saved);
    Settle();
}
