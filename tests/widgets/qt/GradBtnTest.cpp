#include "GradBtn.h"

#include "QtCanvas.h"
#include "WidgetTestSupport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace WidgetTest;

namespace {

// The window's "Save as" button, shown in a window of its own so that it can take the focus.
std::unique_ptr<TGradBtn> MakeSaveAs(const QString& Caption = QStringLiteral("Save as"))
{
    App();
    auto Button = std::make_unique<TGradBtn>();
    Button->resize(47, 18);
    Button->setCaption(Caption);
    Button->setGradientStyle(gsVertical);
    Button->setBeginColor(RGB(206, 206, 206));
    Button->setEndColor(RGB(95, 95, 95));
    Button->setTextStyle(tsInset);
    Button->setTextShadeType(stHeavy);
    Button->setBtnHiliteClr(clWhite);
    Button->setBtnShadowClr(clBlack);
    Button->setDisabledColor(RGB(128, 128, 128));
    QFont Font(QStringLiteral("Times New Roman"));
    Font.setPixelSize(13);
    Font.setBold(true);
    Button->setFont(Font);
    Button->setFontColor(clInfoBk);
    return Button;
}

void ShowActive(QWidget& Widget)
{
    Widget.show();
    Widget.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Widget));
}

// A plain face without frame or focus dots, so that only the caption is drawn on it.
void MakePlain(TGradBtn& Button)
{
    Button.setBeginColor(RGB(100, 100, 100));
    Button.setEndColor(RGB(100, 100, 100));
    Button.setBtnHiliteClr(RGB(100, 100, 100));
    Button.setBtnShadowClr(RGB(100, 100, 100));
    Button.setShowFocus(false);
}

// The rows of the resting "Save as" face, one gradient step each.
const int RestRows[18]
    = { 200, 194, 188, 182, 176, 169, 163, 157, 151, 145, 139, 132, 126, 120, 114, 108, 102, 95 };

struct TClicks {
    int Count = 0;
    explicit TClicks(TGradBtn& Button)
    {
        QObject::connect(&Button, &TGradBtn::OnClick, [this] { ++Count; });
    }
};

} // namespace

TEST(GradBtn, SaveAsAtRestAndHeldDown)
{
    auto Button = MakeSaveAs(QString());
    ShowActive(*Button);
    Button->setShowFocus(false);
    QImage Rest = Render(*Button);
    for (int Y = 1; Y < 17; ++Y)
        for (int X = 1; X < 46; ++X)
            ASSERT_EQ(At(Rest, X, Y), Grey(RestRows[Y])) << X << "," << Y;
    // White top and left edges, black bottom and right edges.
    EXPECT_EQ(RunsInRow(Rest, 0, Grey(255)), (std::vector<TRun>{ { 0, 46 } }));
    EXPECT_EQ(RunsInColumn(Rest, 0, Grey(255)), (std::vector<TRun>{ { 0, 17 } }));
    EXPECT_EQ(RunsInRow(Rest, 17, Grey(0)), (std::vector<TRun>{ { 0, 47 } }));
    EXPECT_EQ(RunsInColumn(Rest, 46, Grey(0)), (std::vector<TRun>{ { 0, 18 } }));

    QTest::mousePress(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));
    EXPECT_FALSE(Button->IsUp());
    EXPECT_EQ(Button->BeginColor(), RGB(95, 95, 95)) << "the properties themselves exchange";
    QImage Held = Render(*Button);
    // The same steps from the other end: each row is 206 + 95 minus its resting grey.
    for (int Y = 1; Y < 17; ++Y)
        ASSERT_EQ(At(Held, 20, Y), Grey(301 - RestRows[Y])) << "row " << Y;
    EXPECT_EQ(RunsInRow(Held, 0, Grey(0)), (std::vector<TRun>{ { 0, 46 } }));
    EXPECT_EQ(RunsInRow(Held, 17, Grey(255)), (std::vector<TRun>{ { 0, 47 } }));

    TClicks Clicks(*Button);
    QTest::mouseRelease(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));
    EXPECT_EQ(Clicks.Count, 1);
    EXPECT_TRUE(Button->IsUp());
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
    EXPECT_EQ(Render(*Button), Rest);
}

TEST(GradBtn, HeldCaptionMovesOnePixel)
{
    auto Button = MakeSaveAs();
    MakePlain(*Button);
    ShowActive(*Button);
    QImage Rest = Render(*Button);
    QTest::mousePress(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));
    QImage Held = Render(*Button);
    QTest::mouseRelease(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));

    int CaptionPixels = 0;
    for (int Y = 1; Y < 16; ++Y) {
        for (int X = 1; X < 45; ++X) {
            ASSERT_EQ(At(Held, X + 1, Y + 1), At(Rest, X, Y)) << X << "," << Y;
            CaptionPixels += At(Rest, X, Y) != Grey(100);
        }
    }
    EXPECT_GT(CaptionPixels, 50);
}

TEST(GradBtn, PressMoveOffReleaseGivesNoClick)
{
    auto Button = MakeSaveAs();
    ShowActive(*Button);
    TClicks Clicks(*Button);
    const QImage Rest = Render(*Button);

    QTest::mousePress(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));
    QTest::mouseMove(Button.get(), QPoint(80, 40));
    EXPECT_TRUE(Button->IsUp()) << "leaving with the button held releases it";
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
    QTest::mouseRelease(Button.get(), Qt::LeftButton, {}, QPoint(80, 40));
    EXPECT_EQ(Clicks.Count, 0);
    EXPECT_TRUE(Button->IsUp());
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
    EXPECT_EQ(Button->EndColor(), RGB(95, 95, 95));
    EXPECT_EQ(Render(*Button), Rest);

    // Coming back with the button still held holds it again, and the release over it clicks.
    QTest::mousePress(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));
    QTest::mouseMove(Button.get(), QPoint(80, 40));
    QTest::mouseMove(Button.get(), QPoint(21, 9));
    EXPECT_FALSE(Button->IsUp());
    EXPECT_EQ(Button->BeginColor(), RGB(95, 95, 95));
    QTest::mouseRelease(Button.get(), Qt::LeftButton, {}, QPoint(21, 9));
    EXPECT_EQ(Clicks.Count, 1);
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
}

TEST(GradBtn, RightButtonOnlyTakesTheFocus)
{
    auto Button = MakeSaveAs();
    QWidget Other;
    ShowActive(*Button);
    Button->setShowFocus(false);
    Button->clearFocus();
    const QImage Rest = Render(*Button);
    TClicks Clicks(*Button);
    QTest::mousePress(Button.get(), Qt::RightButton, {}, QPoint(20, 9));
    EXPECT_TRUE(Button->hasFocus());
    EXPECT_TRUE(Button->IsUp());
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
    EXPECT_EQ(Render(*Button), Rest);
    QTest::mouseRelease(Button.get(), Qt::RightButton, {}, QPoint(20, 9));
    EXPECT_EQ(Clicks.Count, 0);
    EXPECT_EQ(Render(*Button), Rest);
}

TEST(GradBtn, KeyboardClicks)
{
    auto Button = MakeSaveAs(QStringLiteral("&Save"));
    ShowActive(*Button);
    Button->setFocus();
    ASSERT_TRUE(Button->hasFocus());
    TClicks Clicks(*Button);
    QTest::keyClick(Button.get(), Qt::Key_Return);
    QTest::keyClick(Button.get(), Qt::Key_Enter);
    EXPECT_EQ(Clicks.Count, 2);
    // A click that ends no hold leaves the colours as they are.
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
    EXPECT_TRUE(Button->IsUp());

    // The click flag left by the keyboard must not swallow a later release.
    QTest::mousePress(Button.get(), Qt::LeftButton, {}, QPoint(20, 9));
    QTest::mouseMove(Button.get(), QPoint(80, 40));
    QTest::mouseRelease(Button.get(), Qt::LeftButton, {}, QPoint(80, 40));
    EXPECT_TRUE(Button->IsUp());
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));

    QTest::keyClick(Button.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(Clicks.Count, 3) << "the accelerator clicks";
    Button->setEnabled(false);
    QTest::keyClick(Button.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(Clicks.Count, 3) << "but not while disabled";
}

TEST(GradBtn, AmpersandCaptions)
{
    // "&Save" looks like "Save" but for the line under the S.
    auto Marked = MakeSaveAs(QStringLiteral("&Save"));
    auto Plain = MakeSaveAs(QStringLiteral("Save"));
    for (TGradBtn* Button : { Marked.get(), Plain.get() }) {
        MakePlain(*Button);
        Button->setTextStyle(tsNormal);
        Button->setFontColor(clBlack);
    }
    const QImage WithLine = Render(*Marked);
    const QImage Without = Render(*Plain);
    const QFontMetrics Metrics(Marked->font());
    const int Left = (47 - Metrics.horizontalAdvance("Save")) / 2;
    const int Baseline = (18 - Metrics.height()) / 2 + Metrics.ascent();
    int Differences = 0;
    for (int Y = 0; Y < 18; ++Y) {
        for (int X = 0; X < 47; ++X) {
            if (At(WithLine, X, Y) == At(Without, X, Y))
                continue;
            ++Differences;
            EXPECT_LT(X, Left + Metrics.horizontalAdvance("S") + 1) << X << "," << Y;
            EXPECT_GE(Y, Baseline) << X << "," << Y;
        }
    }
    EXPECT_GT(Differences, 3);

    // "a&&b" is as wide as "a&b" and underlines nothing.
    QImage Image(10, 10, QImage::Format_RGB32);
    TQtCanvas Canvas(Image);
    const TSize Size = Canvas.TextExtent(StripAccelerators("a&&b").Text, FromQFont(Marked->font()));
    EXPECT_EQ(Size.Width, Metrics.horizontalAdvance("a&b"));
}

TEST(GradBtn, FrameSizeAndPresets)
{
    auto Button = MakeSaveAs(QString());
    Button->setBtnFrameSize(5); // 18 div 2 - 5 = 4
    EXPECT_EQ(Button->BtnFrameSize(), 1);
    Button->setBtnFrameSize(4);
    EXPECT_EQ(Button->BtnFrameSize(), 4);
    QImage Image = Render(*Button);
    EXPECT_EQ(At(Image, 20, 3), Grey(255));
    EXPECT_EQ(At(Image, 20, 4), Grey(RestRows[4]));
    EXPECT_EQ(At(Image, 20, 14), Grey(0));
    EXPECT_EQ(At(Image, 20, 13), Grey(RestRows[13]));

    // Presets belong to the form designer: at run time nothing changes, not even the value.
    Button->setPresets(Aluminum);
    EXPECT_EQ(Button->Presets(), None);
    EXPECT_EQ(Button->BeginColor(), RGB(206, 206, 206));
    EXPECT_EQ(Button->GradientStyle(), gsVertical);
    EXPECT_EQ(Render(*Button), Image);
}

TEST(GradBtn, FocusRectangleAndDisabledCaption)
{
    auto Button = MakeSaveAs(QString());
    MakePlain(*Button);
    ShowActive(*Button);
    Button->setFocus();
    Button->setShowFocus(true);
    QImage Focused = Render(*Button);
    EXPECT_EQ(At(Focused, 2, 2), Grey(155)) << "every other pixel inverted";
    EXPECT_EQ(At(Focused, 3, 2), Grey(100));
    EXPECT_EQ(At(Focused, 44, 2), Grey(155));
    EXPECT_EQ(At(Focused, 44, 15), Grey(100));
    EXPECT_EQ(At(Focused, 43, 15), Grey(155));
    EXPECT_EQ(At(Focused, 45, 2), Grey(100)) << "ends at Width - 2";
    EXPECT_EQ(At(Focused, 10, 10), Grey(100));
    Button->setShowFocus(false);
    EXPECT_EQ(CountOf(Render(*Button), Grey(155)), 0);

    // Disabled, the caption's face is the disabled colour.
    QFont Sharp = Button->font();
    Sharp.setStyleStrategy(QFont::NoAntialias);
    Button->setFont(Sharp);
    Button->setCaption(QStringLiteral("Save as"));
    Button->setDisabledColor(RGB(0, 0, 255));
    Button->setTxtHiliteClr(RGB(0, 255, 0));
    EXPECT_EQ(CountOf(Render(*Button), QColor(0, 0, 255)), 0);
    Button->setEnabled(false);
    const QImage Disabled = Render(*Button);
    EXPECT_GT(CountOf(Disabled, QColor(0, 0, 255)), 20);
    EXPECT_GT(CountOf(Disabled, QColor(0, 255, 0)), 0) << "inset: highlight below right";
}

TEST(GradBtnPaint, GradientStyles)
{
    QImage Image(40, 20, QImage::Format_RGB32);
    TQtCanvas Painter(Image);
    const TColor Begin = RGB(0, 0, 0), End = RGB(255, 200, 100);
    auto Pixel = [](const QImage& Picture, int X, int Y) { return FromQColor(At(Picture, X, Y)); };
    PaintGradient(Painter, gsVertCenter, Begin, End, 40, 20);
    EXPECT_EQ(Pixel(Image, 5, 0), Begin);
    EXPECT_EQ(Pixel(Image, 5, 19), Begin);
    EXPECT_EQ(Pixel(Image, 5, 10), End);
    EXPECT_EQ(Pixel(Image, 5, 9), End) << "the middle step also paints its mirrored row";
    EXPECT_EQ(Pixel(Image, 5, 8), GradientStep(Begin, End, 8, 10));
    EXPECT_EQ(Pixel(Image, 5, 11), GradientStep(Begin, End, 8, 10));
    PaintGradient(Painter, gsHorizCenter, Begin, End, 40, 20);
    EXPECT_EQ(Pixel(Image, 0, 5), Begin);
    EXPECT_EQ(Pixel(Image, 39, 5), Begin);
    EXPECT_EQ(Pixel(Image, 20, 5), End);
    PaintGradient(Painter, gsHorizontal, Begin, End, 40, 20);
    EXPECT_EQ(Pixel(Image, 0, 5), GradientStep(Begin, End, 6, 255));
    EXPECT_EQ(Pixel(Image, 39, 5), End);
    PaintGradient(Painter, gsRectangle, Begin, End, 40, 20);
    // The corner lies inside the first 12 rectangles, the centre inside all of them.
    EXPECT_EQ(Pixel(Image, 0, 0), GradientStep(Begin, End, 11, 255));
    EXPECT_EQ(Pixel(Image, 20, 10), End);
    // The rectangle starts 2 pixels past the right and bottom edges: those edges keep later
    // steps than the left and top ones (right 42 - 25 x 0.078 is still 40; bottom stays 20 for
    // 51 steps of 0.039).
    EXPECT_EQ(Pixel(Image, 0, 10), GradientStep(Begin, End, 11, 255));
    EXPECT_EQ(Pixel(Image, 39, 10), GradientStep(Begin, End, 24, 255));
    EXPECT_EQ(Pixel(Image, 20, 0), GradientStep(Begin, End, 24, 255));
    EXPECT_EQ(Pixel(Image, 20, 19), GradientStep(Begin, End, 50, 255));
    PaintGradient(Painter, gsElliptic, Begin, End, 40, 20);
    // The last ellipse is empty; the one before it covers the centre.
    EXPECT_EQ(Pixel(Image, 20, 10), GradientStep(Begin, End, 49, 50));
    // The ellipses start a third of the size outside the button and shrink by (size + 2 x a
    // third) x i div 100 on each side: on 60 x 20 step i spans x from -20 + i along the middle
    // row, and on 20 x 60 y from -20 + i along the middle column. Whether an ellipse's outermost
    // pixel is filled is the toolkit's choice, so the step may be one less.
    auto EllipseStep = [&](const QImage& Picture, int X, int Y) {
        for (int I = 0; I <= 50; ++I)
            if (Pixel(Picture, X, Y) == GradientStep(Begin, End, I, 50))
                return I;
        return -1;
    };
    QImage Wide(60, 20, QImage::Format_RGB32);
    TQtCanvas WidePainter(Wide);
    PaintGradient(WidePainter, gsElliptic, Begin, End, 60, 20);
    EXPECT_NEAR(EllipseStep(Wide, 0, 10), 19.5, 0.5);
    EXPECT_NEAR(EllipseStep(Wide, 5, 10), 24.5, 0.5);
    QImage Tall(20, 60, QImage::Format_RGB32);
    TQtCanvas TallPainter(Tall);
    PaintGradient(TallPainter, gsElliptic, Begin, End, 20, 60);
    EXPECT_NEAR(EllipseStep(Tall, 10, 0), 19.5, 0.5);
    EXPECT_NEAR(EllipseStep(Tall, 10, 5), 24.5, 0.5);

    QImage Thin(5, 1, QImage::Format_RGB32);
    TQtCanvas ThinPainter(Thin);
    PaintGradient(ThinPainter, gsVertCenter, Begin, End, 5, 1);
    EXPECT_EQ(Pixel(Thin, 2, 0), Begin);
}
