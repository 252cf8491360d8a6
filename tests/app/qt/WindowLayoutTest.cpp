// The window's layout: where every control lies, what it shows, how it looks, and the order in
// which controls are drawn and focused.
#include "AppTestSupport.h"
#include "FormWidgets.h"
#include "GradBtn.h"
#include "TFlatProgressBarUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>

namespace {

class WindowLayout : public TWindowTest { };

TEST_F(WindowLayout, WindowIsBorderlessCentredAndCaptioned)
{
    TMainForm& Window = OpenWindow();
    EXPECT_TRUE(Window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(Window.size(), QSize(350, 200));
    EXPECT_EQ(Window.windowTitle(), "Corvatone v 1.00");
    const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((Window.geometry().center() - Screen.center()).manhattanLength(), 1);
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

TEST_F(WindowLayout, StartsWithTheDeviceNameAndTheFormsValues)
{
    OpenWindow();
    EXPECT_EQ(Control<QLabel>("LabDev")->text(), "Simulated Sound Card");
    EXPECT_EQ(Control<QLabel>("State")->text(), "Status");
    EXPECT_EQ(Control<QComboBox>("KBS")->currentText(), "128");
    EXPECT_EQ(Control<QComboBox>("KBS")->count(), 11);
    EXPECT_EQ(Control<QComboBox>("SRate")->currentText(), "44100");
    EXPECT_EQ(Control<TSpinEdit>("Secs")->Value(), 10800);
    EXPECT_TRUE(Control<QRadioButton>("SecCustom")->isChecked());
    EXPECT_EQ(Control<TFlatProgressBar>("Progres")->Position(), 0);
    EXPECT_EQ(Control<TFlatProgressBar>("Indicator")->Position(), 0);
}

TEST_F(WindowLayout, DisabledSettingsShowTheirTextDimmedTowardsTheirFace)
{
    OpenWindow();
    const QColor Tooltip = QGuiApplication::palette().color(QPalette::ToolTipBase);
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
    // The status panel takes no focus, so SRate follows KBS; the image buttons come next, then
    // the input chooser, and the chain goes round to DirOut.
    for (const char* Next : { "SaveAs", "SecNoLimit", "SecCustom", "Secs", "KBS", "SRate", "RecB",
             "PauseB", "StopB", "MinB", "CloseB", "LabDev", "DirOut" }) {
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

// A user's skin may hold pictures without alpha. On the transparent Minimize and Close buttons
// the window shows through where such a picture has its bottom-left colour; on Record, which is
// not transparent, and with alpha of its own, the picture stays whole.
TEST_F(WindowLayout, APictureWithoutAlphaShowsTheWindowThroughItsCornerColourWhenTransparent)
{
    const QColor Magenta(255, 0, 255);
    const QColor Green(0, 160, 0);
    QImage Plain(15, 16, QImage::Format_RGB32);
    Plain.fill(Magenta);
    for (int Y = 4; Y < 12; ++Y)
        for (int X = 4; X < 11; ++X)
            Plain.setPixelColor(X, Y, Green);
    QTemporaryDir Folder;
    ASSERT_TRUE(Plain.save(Folder.filePath("Plain.bmp")));
    ASSERT_TRUE(Plain.save(Folder.filePath("Plain.png")));
    TMainForm& Window = OpenWindow();
    const auto Bitmap = Window.ReadPicture(Folder.filePath("Plain.bmp").toStdString());
    const auto Png = Window.ReadPicture(Folder.filePath("Plain.png").toStdString());

    Window.ShowPicture(TControl::CloseB, nullptr);
    Window.ShowPicture(TControl::MinB, nullptr);
    const QImage Behind = Window.grab().toImage();
    Window.ShowPicture(TControl::CloseB, Bitmap.get());
    Window.ShowPicture(TControl::MinB, Png.get());
    Window.ShowPicture(TControl::RecB, Bitmap.get());
    const QImage Now = Window.grab().toImage();
    const auto At = [](const QImage& Shot, QWidget* Control, int X, int Y) {
        return QColor(Shot.pixel(Control->pos() + QPoint(X, Y)));
    };

    for (const char* Transparent : { "CloseB", "MinB" }) {
        QWidget* Button = Control(Transparent);
        ASSERT_EQ(Button->size(), QSize(15, 16));
        for (const QPoint Corner : { QPoint(0, 15), QPoint(0, 0), QPoint(14, 5) }) {
            EXPECT_EQ(
                At(Now, Button, Corner.x(), Corner.y()), At(Behind, Button, Corner.x(), Corner.y()))
                << Transparent << " at " << Corner.x() << "," << Corner.y();
            EXPECT_NE(At(Now, Button, Corner.x(), Corner.y()), Magenta);
        }
        EXPECT_EQ(At(Now, Button, 7, 8), Green) << Transparent;
    }
    EXPECT_EQ(At(Now, Control("RecB"), 0, 15), Magenta);
    EXPECT_EQ(At(Now, Control("RecB"), 7, 8), Green);

    // With alpha of its own, the same picture is drawn by its alpha alone.
    QImage WithAlpha = Plain.convertToFormat(QImage::Format_ARGB32);
    WithAlpha.setPixelColor(14, 0, Qt::transparent);
    ASSERT_TRUE(WithAlpha.save(Folder.filePath("Alpha.png")));
    const auto Png32 = Window.ReadPicture(Folder.filePath("Alpha.png").toStdString());
    Window.ShowPicture(TControl::CloseB, Png32.get());
    const QImage Blended = Window.grab().toImage();
    EXPECT_EQ(At(Blended, Control("CloseB"), 0, 15), Magenta);
    EXPECT_EQ(At(Blended, Control("CloseB"), 14, 0), At(Behind, Control("CloseB"), 14, 0));
}

} // namespace
