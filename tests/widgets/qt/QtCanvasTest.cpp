#include "QtCanvas.h"

#include "WidgetTestSupport.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace WidgetTest;

namespace {

constexpr TColor Red = RGB(255, 0, 0);

QImage White(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Qt::white);
    return Image;
}

} // namespace

TEST(QtCanvas, RectanglesKeepTheirExclusiveEdges)
{
    QImage Image = White(8, 8);
    {
        TQtCanvas Canvas(Image);
        Canvas.FillRect({ 2, 3, 5, 6 }, Red);
        Canvas.FillRect({ 5, 0, 2, 8 }, Red); // inverted: nothing
        Canvas.FillRect({ 0, 7, 8, 7 }, Red); // empty: nothing
    }
    EXPECT_EQ(CountOf(Image, Qt::red), 9);
    EXPECT_EQ(At(Image, 2, 3), QColor(Qt::red));
    EXPECT_EQ(At(Image, 4, 5), QColor(Qt::red));
    EXPECT_EQ(At(Image, 5, 5), QColor(Qt::white));

    Image = White(8, 8);
    {
        TQtCanvas Canvas(Image);
        Canvas.FrameRect({ 1, 1, 7, 6 }, Red);
    }
    EXPECT_EQ(CountOf(Image, Qt::red), 2 * 6 + 2 * 3);
    EXPECT_EQ(At(Image, 6, 5), QColor(Qt::red));
    EXPECT_EQ(At(Image, 2, 2), QColor(Qt::white));
}

TEST(QtCanvas, FocusRectangleDrawnTwiceRestoresThePicture)
{
    QImage Image = White(10, 8);
    const QImage Before = Image;
    QPainter Painter(&Image);
    TQtCanvas Canvas(Painter);
    Canvas.DrawFocusRect({ 1, 2, 9, 7 });
    EXPECT_EQ(At(Image, 1, 2), QColor(Qt::black)) << "starts with the top-left pixel";
    EXPECT_EQ(At(Image, 2, 2), QColor(Qt::white));
    EXPECT_EQ(At(Image, 4, 4), QColor(Qt::white)) << "the inside stays";
    EXPECT_EQ(CountOf(Image, Qt::black), 11);
    Canvas.DrawFocusRect({ 1, 2, 9, 7 });
    EXPECT_EQ(Image, Before);
}

TEST(QtCanvas, UnderlineFollowsTheByteOffsetOfAMultiByteCaption)
{
    App();
    TFont Font{ "Liberation Sans", 14, TFont::Bold };
    Font.Antialiased = false;
    const std::string Caption = "\xc3\xa9S"; // "éS": the S starts at byte 2
    auto Draw = [&](int UnderlineAt) {
        QImage Image = White(40, 24);
        TQtCanvas Canvas(Image);
        Canvas.TextOut({ 2, 2 }, Caption, UnderlineAt, Font, clBlack);
        return Image;
    };
    const QImage Plain = Draw(-1), Underlined = Draw(2);
    const QFontMetrics Metrics(ToQFont(Font));
    const int SStart = 2 + Metrics.horizontalAdvance(QString::fromUtf8("\xc3\xa9"));
    int Differences = 0;
    for (int Y = 0; Y < 24; ++Y) {
        for (int X = 0; X < 40; ++X) {
            if (At(Plain, X, Y) == At(Underlined, X, Y))
                continue;
            ++Differences;
            EXPECT_GE(X, SStart - 1) << "only the S is underlined: " << X << "," << Y;
        }
    }
    EXPECT_GT(Differences, 3);
    EXPECT_EQ(Draw(-1), Plain) << "a transparent background over the same picture";
}

TEST(QtCanvas, FontsRoundTripThroughTheirDescription)
{
    App();
    QFont Points(QStringLiteral("Liberation Serif"));
    Points.setPointSize(9);
    Points.setItalic(true);
    const TFont Font = FromQFont(Points);
    EXPECT_EQ(Font.PixelSize, QFontInfo(Points).pixelSize()) << "points become pixels";
    EXPECT_TRUE(Font.Italic);
    EXPECT_EQ(Font.Weight, TFont::Normal);
    EXPECT_EQ(FromQFont(ToQFont(Font)), Font);
    const QFontMetrics Before(Points), After(ToQFont(Font));
    EXPECT_EQ(After.horizontalAdvance("Save as"), Before.horizontalAdvance("Save as"));
    EXPECT_EQ(After.height(), Before.height());
}
