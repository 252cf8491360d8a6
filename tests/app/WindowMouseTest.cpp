// The mouse on the window: dragging it by its background, the minimise and close buttons, and
// the refusal of every other request to close the window.
#include "AppTestSupport.h"
#include "Mp3Check.h"
#include "SkinFiles.h"
#include "TImage.h"
#include "TestSupport.h"

#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestSupport::WaitUntil;

const QPoint InsideSmallButton(7, 8);

QImage SkinImage(const char* File)
{
    return QImage(SkinParent + "/Skin/" + File)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Shown(QWidget* Control)
{
    return static_cast<TImage*>(Control)->Picture().toImage().convertToFormat(
        QImage::Format_ARGB32_Premultiplied);
}

class WindowMouse : public TWindowTest { };

TEST_F(WindowMouse, DraggingWithAnyButtonMovesTheWindowByThePointersMovement)
{
    TMain& Window = OpenWindow();
    QWidget* BackG = Control("BackG");
    for (Qt::MouseButton Button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        const QPoint Start = Window.pos();
        QTest::mousePress(BackG, Button, {}, QPoint(100, 100));
        EXPECT_TRUE(TMainTestAccess::Dragging(Window));
        QTest::mouseMove(BackG, QPoint(130, 85));
        EXPECT_EQ(Window.pos(), Start + QPoint(30, -15)) << Button;
        // The grabbed point is under the pointer again; a further move goes on from there.
        QTest::mouseMove(BackG, QPoint(90, 110));
        EXPECT_EQ(Window.pos(), Start + QPoint(20, -5)) << Button;
        QTest::mouseRelease(BackG, Button, {}, QPoint(100, 100));
        EXPECT_FALSE(TMainTestAccess::Dragging(Window));
        QTest::mouseMove(BackG, QPoint(160, 160));
        EXPECT_EQ(Window.pos(), Start + QPoint(20, -5)) << "moved after the release, " << Button;
    }
}

TEST_F(WindowMouse, MinimiseButtonShowsItsPressedPictureAndMinimisesOnClick)
{
    TMain& Window = OpenWindow();
    QWidget* MinB = Control("MinB");
    QTest::mousePress(MinB, Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_EQ(Shown(MinB), SkinImage(SkinFiles::MinBOn));
    EXPECT_FALSE(Window.isMinimized());
    QTest::mouseRelease(MinB, Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_EQ(Shown(MinB), SkinImage(SkinFiles::MinB));
    EXPECT_TRUE(Window.isMinimized());
    EXPECT_TRUE(Window.isVisible());
}

TEST_F(WindowMouse, RightClickOnTheMinimiseButtonDoesNotMinimise)
{
    TMain& Window = OpenWindow();
    QTest::mouseClick(Control("MinB"), Qt::RightButton, {}, InsideSmallButton);
    EXPECT_FALSE(Window.isMinimized());
}

TEST_F(WindowMouse, OtherRequestsToCloseAreRefused)
{
    TMain& Window = OpenWindow();
    EXPECT_FALSE(Window.close());
    QTest::keyClick(&Window, Qt::Key_F4, Qt::AltModifier);
    QCloseEvent Request;
    QApplication::sendEvent(&Window, &Request);
    EXPECT_FALSE(Request.isAccepted());
    EXPECT_TRUE(Window.isVisible());
    EXPECT_FALSE(TMainTestAccess::CanExit(Window));
}

TEST_F(WindowMouse, ClosingWhileIdleClosesAtOnce)
{
    TMain& Window = OpenWindow();
    QWidget* CloseB = Control("CloseB");
    QTest::mousePress(CloseB, Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_EQ(Shown(CloseB), SkinImage(SkinFiles::CloseBOn));
    QTest::mouseRelease(CloseB, Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_FALSE(Window.isVisible());
    EXPECT_EQ(Shown(CloseB), SkinImage(SkinFiles::CloseB));
    // Only a close during a recording stops the timer before it waits.
    EXPECT_TRUE(TMainTestAccess::Tim(Window).isActive());
}

// A recording under way, as the Record press leaves it.
class WindowCloseWhileRecording : public WindowMouse {
protected:
    void StartRecording(bool Paused)
    {
        ASSERT_TRUE(Folder.isValid());
        Card->SetPacing(TSimulatedPacing::RealTime);
        TMain& Window = OpenWindow();
        TMP3Out& Sink = TMainTestAccess::MP3Out(Window);
        TAudioIn& Source = TMainTestAccess::AudIn(Window);
        Sink.SetFileName(File);
        Source.InSampleRate = 44100;
        Sink.Run();
        ASSERT_TRUE(WaitUntil([&] { return Source.Position > 2 * 16384; }));
        if (Paused) {
            Sink.Pause();
            ASSERT_TRUE(WaitUntil([&] { return Sink.Status() == osPaused; }));
        }
        TMainTestAccess::SetRecordingState(Window, true, Paused);
    }

    // The window has closed and the run has ended: the file holds every sample captured.
    void ExpectCompleteFile()
    {
        TMP3Out& Sink = TMainTestAccess::MP3Out(*Main);
        ASSERT_TRUE(WaitUntil([&] { return Sink.Status() == osIdle; }))
            << "the run was not stopped";
        const int64_t Captured = TMainTestAccess::AudIn(*Main).Position / 4;
        Main.reset();
        const TMp3Decoded Decoded = DecodeMp3File(File);
        ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
        EXPECT_EQ(Decoded.SampleRate, 44100);
        EXPECT_EQ(Decoded.Channels, 2);
        // The encoder's flush at the end of the run delivers the samples it still held.
        EXPECT_GE(Decoded.Frames, Captured);
    }

    QTemporaryDir Folder;
    const std::string File = Folder.filePath("closing.mp3").toStdString();
};

TEST_F(WindowCloseWhileRecording, StopsTheSinkWaitsAndCloses)
{
    StartRecording(false);
    QTest::mouseClick(Control("CloseB"), Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_FALSE(Main->isVisible());
    EXPECT_FALSE(TMainTestAccess::Tim(*Main).isActive());
    ExpectCompleteFile();
}

TEST_F(WindowCloseWhileRecording, WhenPausedResumesTheSinkSoThatTheRunEnds)
{
    StartRecording(true);
    QTest::mouseClick(Control("CloseB"), Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_FALSE(Main->isVisible());
    EXPECT_FALSE(TMainTestAccess::Tim(*Main).isActive());
    ExpectCompleteFile();
}

TEST_F(WindowCloseWhileRecording, ReleaseOutsideTheButtonClosesWithoutAStopRequest)
{
    StartRecording(false);
    QWidget* CloseB = Control("CloseB");
    QTest::mousePress(CloseB, Qt::LeftButton, {}, InsideSmallButton);
    QTest::mouseMove(CloseB, QPoint(-100, 60));
    QTest::mouseRelease(CloseB, Qt::LeftButton, {}, QPoint(-100, 60));
    EXPECT_FALSE(Main->isVisible());
    EXPECT_EQ(Shown(CloseB), SkinImage(SkinFiles::CloseB));
    TMP3Out& Sink = TMainTestAccess::MP3Out(*Main);
    EXPECT_EQ(Sink.Status(), osBusy) << "the sink was asked to stop";
    Sink.Stop();
    ExpectCompleteFile();
}

} // namespace
