// The window's layout: where every control lies, what it shows, how it looks, and the order in
// which controls are drawn and focused.
#include "AppTestSupport.h"
#include "TFlatProgressBarUnit.h"
#include "TImage.h"
#include "TSpinEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>

namespace {

struct TPlace {
    const char* Name;
    QRect Geometry;
};

const TPlace Layout[] = {
    { "BackG", { 0, 0, 350, 200 } },
    { "RecB", { 177, 131, 51, 31 } },
    { "PauseB", { 233, 131, 51, 31 } },
    { "StopB", { 289, 131, 51, 31 } },
    { "MinB", { 309, 9, 15, 16 } },
    { "CloseB", { 325, 9, 15, 16 } },
    { "Bevel1", { 11, 50, 158, 111 } },
    { "Bevel2", { 13, 114, 127, 9 } },
    { "Label4", { 15, 95, 60, 14 } },
    { "Label5", { 15, 78, 108, 14 } },
    { "Label8", { 15, 67, 77, 14 } },
    { "Label11", { 56, 31, 40, 15 } },
    { "LabDev", { 112, 31, 177, 15 } },
    { "Bevel4", { 177, 50, 162, 73 } },
    { "Label12", { 182, 51, 91, 14 } },
    { "Label13", { 205, 86, 43, 14 } },
    { "Label14", { 205, 70, 35, 14 } },
    { "Progres", { 184, 103, 147, 16 } },
    { "Indicator", { 147, 57, 17, 97 } },
    { "Label1", { 15, 52, 92, 13 } },
    { "Label2", { 15, 118, 93, 13 } },
    { "Label3", { 63, 140, 15, 14 } },
    { "DirOut", { 11, 167, 278, 23 } },
    { "SaveAs", { 294, 170, 47, 18 } },
    { "SecNoLimit", { 187, 84, 17, 17 } },
    { "SecCustom", { 187, 68, 17, 17 } },
    { "Secs", { 267, 67, 62, 21 } },
    { "KBS", { 20, 136, 41, 21 } },
    { "State", { 80, 135, 64, 23 } },
    { "SRate", { 81, 92, 56, 21 } },
};

class WindowLayout : public TWindowTest { };

TEST_F(WindowLayout, EveryControlLiesWhereTheLayoutPutsIt)
{
    OpenWindow();
    for (const TPlace& Place : Layout)
        if (QWidget* Widget = Control(Place.Name)) {
            EXPECT_EQ(Widget->geometry(), Place.Geometry) << Place.Name;
        }
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
}

TEST_F(WindowLayout, WindowIsBorderlessCentredAndCaptioned)
{
    TMain& Window = OpenWindow();
    EXPECT_TRUE(Window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Window.size(), QSize(350, 200));
    EXPECT_EQ(Window.windowTitle(), "Corvatone v 1.00");
    const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((Window.geometry().center() - Screen.center()).manhattanLength(), 1);
}

TEST_F(WindowLayout, TextsTooltipsAndStartValues)
{
    OpenWindow();
    EXPECT_EQ(Control<QLabel>("Label5")->text(), "Bits per Sample: 16 bps");
    EXPECT_EQ(Control<QLabel>("LabDev")->text(), "Simulated Sound Card");
    EXPECT_EQ(Control<QLabel>("State")->text(), "Status");
    EXPECT_EQ(Control<QComboBox>("KBS")->currentText(), "128");
    EXPECT_EQ(Control<QComboBox>("KBS")->count(), 12);
    EXPECT_EQ(Control<QComboBox>("SRate")->currentText(), "44100");
    EXPECT_EQ(Control<TSpinEdit>("Secs")->Value(), 10800);
    EXPECT_TRUE(Control<QRadioButton>("SecCustom")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("SecNoLimit")->isChecked());
    EXPECT_EQ(Control<TFlatProgressBar>("Progres")->Position(), 0);
    EXPECT_EQ(Control<TFlatProgressBar>("Indicator")->Orientation(), pbVertical);
    EXPECT_EQ(Control("CloseB")->toolTip(), "Close Corvatone");
    EXPECT_EQ(Control("MinB")->toolTip(), "Minimize");
    EXPECT_EQ(Control("Secs")->toolTip(), "Max: 10800 sec equal to 3 hours");
    for (const char* Hand :
        { "RecB", "PauseB", "StopB", "MinB", "CloseB", "SaveAs", "SecNoLimit", "SecCustom" })
        EXPECT_EQ(Control(Hand)->cursor().shape(), Qt::PointingHandCursor) << Hand;
    EXPECT_EQ(Control("BackG")->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WindowLayout, FontsAndColoursAreThePixelSizesAndFacesOfTheForm)
{
    OpenWindow();
    const QFont Device = Control("LabDev")->font();
    EXPECT_EQ(Device.pixelSize(), 13);
    EXPECT_TRUE(Device.bold());
    EXPECT_EQ(Device.family(), "Times New Roman");
    const QFont Heading = Control("Label1")->font();
    EXPECT_EQ(Heading.pixelSize(), 11);
    EXPECT_TRUE(Heading.bold() && Heading.underline());
    EXPECT_EQ(Control("Secs")->font().family(), "MS Sans Serif");
    EXPECT_EQ(Control("Secs")->font().pixelSize(), 11);

    const QColor Tooltip = QGuiApplication::palette().color(QPalette::ToolTipBase);
    EXPECT_EQ(Control("Label4")->palette().color(QPalette::WindowText), Tooltip);
    EXPECT_EQ(Control("DirOut")->palette().color(QPalette::Base), QColor(105, 105, 105));
    EXPECT_EQ(Control("DirOut")->palette().color(QPalette::Text), Tooltip);
    EXPECT_EQ(Control("SecCustom")->palette().color(QPalette::Window), QColor(53, 45, 49));
    EXPECT_EQ(Control("State")->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    // The settings that a recording locks show it: their text is dimmed towards the face.
    for (const char* Locked : { "KBS", "Secs" }) {
        const QPalette Palette = Control(Locked)->palette();
        EXPECT_EQ(Palette.color(QPalette::Disabled, QPalette::Text),
            QColor(
                (Tooltip.red() + 105) / 2, (Tooltip.green() + 105) / 2, (Tooltip.blue() + 105) / 2))
            << Locked;
    }
}

// Images and labels lie below the boxes, buttons and lists; the background lies below all.
TEST_F(WindowLayout, DrawingOrderPutsTheBackgroundFirstAndTheEditableControlsOnTop)
{
    TMain& Window = OpenWindow();
    const QObjectList Children = Window.children();
    auto Rank = [&](const char* Name) { return Children.indexOf(Control(Name)); };
    const char* Below[] = { "BackG", "RecB", "PauseB", "StopB", "MinB", "CloseB", "Label4",
        "LabDev", "Progres", "Indicator", "Label3" };
    for (size_t I = 1; I < std::size(Below); ++I)
        EXPECT_LT(Rank(Below[I - 1]), Rank(Below[I])) << Below[I];
    for (const char* Above :
        { "DirOut", "SaveAs", "SecNoLimit", "SecCustom", "Secs", "KBS", "State", "SRate" })
        EXPECT_GT(Rank(Above), Rank("Label3")) << Above;
    EXPECT_EQ(Window.childAt(200, 10), Control("BackG"));
    EXPECT_EQ(Window.childAt(330, 15), Control("CloseB"));
}

TEST_F(WindowLayout, TabOrderFollowsTheFormAndFocusStartsOnSaveAs)
{
    TMain& Window = OpenWindow();
    EXPECT_EQ(Window.focusWidget(), Control("SaveAs"));
    QWidget* Step = Control("DirOut");
    for (const char* Next : { "SaveAs", "SecNoLimit", "SecCustom", "Secs", "KBS" }) {
        Step = Step->nextInFocusChain();
        while (Step->focusPolicy() == Qt::NoFocus || Step->parentWidget() != &Window)
            Step = Step->nextInFocusChain();
        EXPECT_EQ(Step->objectName(), Next);
    }
}

// Renders the window for a person to look at, and checks that the skin and the controls show.
TEST_F(WindowLayout, RenderedWindowShowsTheSkinAndTheControls)
{
    TMain& Window = OpenWindow();
    const QImage Shot = Window.grab().toImage();
    ASSERT_TRUE(Shot.save(QStringLiteral(CORVATONE_SCREENSHOT)));
    auto Pixel = [&](int X, int Y) { return QColor(Shot.pixel(X, Y)); };
    EXPECT_EQ(Pixel(141, 127), QColor(53, 45, 49)); // the settings area of the skin
    EXPECT_EQ(Pixel(280, 185), QColor(105, 105, 105)); // the file box
    EXPECT_NE(Pixel(202, 146), Pixel(100, 150)); // the record button's picture
    EXPECT_NE(Pixel(332, 17), Pixel(300, 17)); // the close button's picture
}

} // namespace
