// The window's layout: where every control lies, what it shows, how it looks, and the order in
// which controls are drawn and focused.
#include "AppTestSupport.h"
#include "GradBtn.h"
#include "TFlatProgressBarUnit.h"
#include "TImage.h"
#include "TSpinEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

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
    TMainForm& Window = OpenWindow();
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

TEST_F(WindowLayout, EveryLabelShowsItsTextAndOnlyTheButtonsAndTheSpinBoxHaveTooltips)
{
    struct TText {
        const char* Name;
        const char* Text;
    };
    const TText Texts[] = { { "Label4", "Sample Rate:" }, { "Label5", "Bits per Sample: 16 bps" },
        { "Label8", "Channels: Stereo" }, { "Label11", "Device:" },
        { "Label12", "Duration in seconds" }, { "Label13", "No Limit" }, { "Label14", "Custom" },
        { "Label1", "Audio-In Settings" }, { "Label2", "Mp3-Out Settings" }, { "Label3", "kbs" },
        { "State", "Status" } };
    const TText Tooltips[] = { { "RecB", "Record" }, { "PauseB", "Pause" }, { "StopB", "Stop" },
        { "MinB", "Minimize" }, { "CloseB", "Close Corvatone" },
        { "Secs", "Max: 10800 sec equal to 3 hours" } };
    OpenWindow();
    for (const TText& Label : Texts)
        if (auto* Widget = Control<QLabel>(Label.Name)) {
            EXPECT_EQ(Widget->text(), Label.Text) << Label.Name;
        }
    EXPECT_EQ(Control<TGradBtn>("SaveAs")->Caption(), "Save as");
    for (const TPlace& Place : Layout) {
        const auto Tip = std::find_if(std::begin(Tooltips), std::end(Tooltips),
            [&](const TText& T) { return QLatin1String(T.Name) == QLatin1String(Place.Name); });
        const QString Expected = Tip == std::end(Tooltips) ? QString() : QString(Tip->Text);
        EXPECT_EQ(Control(Place.Name)->toolTip(), Expected) << Place.Name;
    }
}

TEST_F(WindowLayout, ControlsUseTheFontsOfTheForm)
{
    struct TFontRow {
        const char* Name;
        const char* Family;
        int Pixels;
        bool Bold;
        bool Underline;
    };
    const char* Serif = "Times New Roman";
    const char* Sans = "MS Sans Serif";
    const TFontRow Rows[]
        = { { "Label4", Serif, 11, false, false }, { "Label13", Serif, 11, false, false },
              { "Label11", Serif, 13, true, false }, { "LabDev", Serif, 13, true, false },
              { "Label1", Serif, 11, true, true }, { "Label2", Serif, 11, true, true },
              { "DirOut", Serif, 13, false, false }, { "SaveAs", Serif, 13, true, false },
              { "Secs", Sans, 11, false, false }, { "KBS", Sans, 11, false, false },
              { "SRate", Sans, 11, false, false }, { "State", Sans, 11, true, false } };
    TMainForm& Window = OpenWindow();
    EXPECT_EQ(Window.font().family(), Sans);
    EXPECT_EQ(Window.font().pixelSize(), 11);
    for (const TFontRow& Row : Rows)
        if (QWidget* Widget = Control(Row.Name)) {
            const QFont Font = Widget->font();
            EXPECT_EQ(Font.family(), Row.Family) << Row.Name;
            EXPECT_EQ(Font.pixelSize(), Row.Pixels) << Row.Name;
            EXPECT_EQ(Font.bold(), Row.Bold) << Row.Name;
            EXPECT_EQ(Font.underline(), Row.Underline) << Row.Name;
        }
}

TEST_F(WindowLayout, SaveAsHasTheGradientFaceOfTheForm)
{
    OpenWindow();
    const TGradBtn* SaveAs = Control<TGradBtn>("SaveAs");
    EXPECT_EQ(SaveAs->GradientStyle(), gsVertical);
    EXPECT_EQ(SaveAs->BeginColor(), RGB(206, 206, 206));
    EXPECT_EQ(SaveAs->EndColor(), RGB(95, 95, 95));
    EXPECT_EQ(SaveAs->TextStyle(), tsInset);
    EXPECT_EQ(SaveAs->TextShadeType(), stHeavy);
    EXPECT_EQ(SaveAs->BtnHiliteClr(), clWhite);
    EXPECT_EQ(SaveAs->BtnShadowClr(), clBlack);
    EXPECT_EQ(SaveAs->DisabledColor(), RGB(128, 128, 128));
    EXPECT_EQ(SaveAs->FontColor(), clInfoBk);
    for (const char* Bar : { "Progres", "Indicator" }) {
        const auto* Flat = Control<TFlatProgressBar>(Bar);
        EXPECT_EQ(Flat->Min(), 0) << Bar;
        EXPECT_EQ(Flat->Max(), 100) << Bar;
        EXPECT_EQ(Flat->Step(), 1) << Bar;
        EXPECT_TRUE(Flat->Smooth()) << Bar;
        EXPECT_EQ(Flat->ColorElement(), clBackground) << Bar;
    }
}

// The settings the form stores for its components without a face; runs set only the sample rate,
// the duration, the file and the bit rate.
TEST_F(WindowLayout, PipelineComponentsHaveTheStoredSettingsAndLinks)
{
    TMainForm& Window = OpenWindow();
    TAudioIn& AudIn = TMainTestAccess::AudIn(Behaviour(Window));
    EXPECT_EQ(AudIn.GetBaseChannel(), 0);
    EXPECT_EQ(AudIn.InBitsPerSample, 16);
    EXPECT_EQ(AudIn.InChannels, 2);
    EXPECT_EQ(AudIn.InSampleRate, 22025);
    EXPECT_EQ(AudIn.RecTime, 10800);
    TSoundIndicator& SndIndic = TMainTestAccess::SndIndic(Behaviour(Window));
    EXPECT_EQ(SndIndic.GetInput(), &AudIn);
    TMP3Out& MP3Out = TMainTestAccess::MP3Out(Behaviour(Window));
    EXPECT_EQ(MP3Out.GetInput(), &SndIndic);
    EXPECT_TRUE(MP3Out.GetSuspendWhenIdle());
    EXPECT_EQ(MP3Out.GetFileMode(), foRewrite);
    EXPECT_EQ(MP3Out.GetBitRate(), br192);
    EXPECT_TRUE(MP3Out.OnDone && MP3Out.OnProgress);
    EXPECT_EQ(MP3Out.Status(), osIdle);
    EXPECT_TRUE(TMainFormTestAccess::Tim(Window).isActive());
    EXPECT_EQ(TMainFormTestAccess::Tim(Window).interval(), 100);
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
    TMainForm& Window = OpenWindow();
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
    TMainForm& Window = OpenWindow();
    EXPECT_EQ(Window.focusWidget(), Control("SaveAs"));
    QWidget* Step = Control("DirOut");
    // The status panel takes no focus, so SRate follows KBS, and the chain goes round to DirOut.
    for (const char* Next :
        { "SaveAs", "SecNoLimit", "SecCustom", "Secs", "KBS", "SRate", "DirOut" }) {
        Step = Step->nextInFocusChain();
        while (Step->focusPolicy() == Qt::NoFocus || Step->parentWidget() != &Window)
            Step = Step->nextInFocusChain();
        EXPECT_EQ(Step->objectName(), Next);
    }
}

// Renders the window for a person to look at, and checks that the skin and the controls show.
TEST_F(WindowLayout, RenderedWindowShowsTheSkinAndTheControls)
{
    TMainForm& Window = OpenWindow();
    const QImage Shot = Window.grab().toImage();
    ASSERT_TRUE(Shot.save(QStringLiteral(CORVATONE_SCREENSHOT)));
    auto Pixel = [&](int X, int Y) { return QColor(Shot.pixel(X, Y)); };
    EXPECT_EQ(Pixel(141, 127), QColor(53, 45, 49)); // the settings area of the skin
    EXPECT_EQ(Pixel(280, 185), QColor(105, 105, 105)); // the file box
    EXPECT_NE(Pixel(202, 146), Pixel(100, 150)); // the record button's picture
    EXPECT_NE(Pixel(332, 17), Pixel(300, 17)); // the close button's picture
}

} // namespace
