// Start-up: reading the skin, the device label, and the failures that keep the window from
// opening.
#include "AppTestSupport.h"
#include "FormWidgets.h"
#include "SkinFiles.h"
#include "lame.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char* const ImageControls[] = { "BackG", "RecB", "PauseB", "StopB", "MinB", "CloseB" };

bool AnyMainWindow()
{
    for (QWidget* Widget : QApplication::topLevelWidgets())
        if (qobject_cast<TMainForm*>(Widget))
            return true;
    return false;
}

class WindowStart : public TWindowTest { };

TEST_F(WindowStart, ReadsTheSkinBesideTheExecutableAndNamesTheDevice)
{
    TMainForm& Window = OpenWindow();
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
    EXPECT_EQ(TMainTestAccess::AppPath(Behaviour(Window)), (SkinParent + "/").toStdString());
    for (const char* Name : ImageControls)
        EXPECT_TRUE(Control<TImage>(Name)->HasPicture()) << Name;
    EXPECT_EQ(Control("RecB")->size(), QSize(51, 31));
    EXPECT_EQ(Control<QLabel>("LabDev")->text(), "Simulated Sound Card");
}

// A later file missing: the steps before it are done, the rest are skipped.
TEST_F(WindowStart, MissingButtonPictureStopsTheStartStepsThere)
{
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    const QDir Skin(Folder.filePath("Skin"));
    ASSERT_TRUE(QDir().mkpath(Skin.path()));
    for (const char* File : { SkinFiles::CloseB, SkinFiles::CloseBOn, SkinFiles::MinB,
             SkinFiles::MinBOn, SkinFiles::Window, SkinFiles::RecBut, SkinFiles::StopBut })
        ASSERT_TRUE(QFile::copy(SkinParent + "/Skin/" + File, Skin.filePath(File))) << File;

    OpenWindow(Folder.path());
    ASSERT_EQ(Errors.Messages.size(), 1);
    EXPECT_TRUE(Errors.Messages[0].contains("PauseBut.bmp")) << Errors.Messages[0].toStdString();
    // Shown before the window: a box of its own, not one over a hidden window.
    EXPECT_EQ(Errors.Parents[0], nullptr);
    for (const char* Shown : { "BackG", "MinB", "CloseB", "RecB" })
        EXPECT_TRUE(Control<TImage>(Shown)->HasPicture()) << Shown;
    EXPECT_FALSE(Control<TImage>("PauseB")->HasPicture());
    EXPECT_FALSE(Control<TImage>("StopB")->HasPicture());
    EXPECT_EQ(Control<QLabel>("LabDev")->text(), "Unknown");
}

class LongDeviceName : public TWindowTest {
protected:
    std::vector<TSimulatedDeviceSpec> InputDevices() override
    {
        TSimulatedDeviceSpec Spec;
        Spec.Name = "Thirty-one characters of a name";
        return { Spec };
    }
};

TEST_F(LongDeviceName, IsShownInTheFixedLabelWithoutGrowingIt)
{
    OpenWindow();
    EXPECT_EQ(Control<QLabel>("LabDev")->text(), "Thirty-one characters of a name");
    EXPECT_EQ(Control("LabDev")->size(), QSize(177, 15));
}

class ProgramRun : public TWindowTest {
protected:
    int Run(const TStartOptions& Options = {})
    {
        int Argc = 1;
        char Name[] = "Corvatone";
        char* Argv[] = { Name, nullptr };
        return RunCorvatone(Argc, Argv, Options);
    }
};

TEST_F(ProgramRun, EndsWhenTheCloseButtonClosesTheWindow)
{
    TStartOptions Options;
    Options.AppPathForTests = SkinParent;
    bool Shown = false;
    Options.OnShown = [&](TMainForm& Window) {
        Shown = Window.isVisible();
        QWidget* CloseB = Window.findChild<QWidget*>("CloseB");
        QTimer::singleShot(
            0, CloseB, [CloseB] { QTest::mouseClick(CloseB, Qt::LeftButton, {}, QPoint(7, 8)); });
    };
    EXPECT_EQ(Run(Options), 0);
    EXPECT_TRUE(Shown);
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
    EXPECT_FALSE(AnyMainWindow());
}

class NoWaveInDevice : public ProgramRun {
protected:
    std::vector<TSimulatedDeviceSpec> InputDevices() override { return {}; }
};

TEST_F(NoWaveInDevice, ProgramReportsItAndEndsWithoutAWindow)
{
    TStartOptions Options;
    bool Shown = false;
    Options.OnShown = [&](TMainForm&) { Shown = true; };
    EXPECT_NE(Run(Options), 0);
    EXPECT_EQ(Errors.Messages, QStringList{ "Channel 0 is not available" });
    EXPECT_FALSE(Shown);
    EXPECT_FALSE(AnyMainWindow());
}

TEST_F(ProgramRun, WithoutTheEncoderLibraryReportsItAndEndsWithoutAWindow)
{
    lame::SetEncoderLibraryFileNameForTests("/no/such/folder/libmp3lame.so.0");
    const int Status = Run();
    lame::SetEncoderLibraryFileNameForTests("libmp3lame.so.0");
    EXPECT_NE(Status, 0);
    EXPECT_EQ(Errors.Messages, QStringList{ "lame_enc.dll library could not be loaded." });
    EXPECT_FALSE(AnyMainWindow());
    // The library opens again for the next window.
    OpenWindow();
    EXPECT_TRUE(Errors.Messages.size() == 1);
}

} // namespace
