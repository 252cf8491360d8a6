// The program's window as a Wayland client, in a compositor without a screen (tests/app/qt/
// under-weston runs this program there): it starts on the Wayland platform, shows its window
// where the compositor puts it, hands a press on its background to the compositor as a move,
// and records.
#include "Dialogs.h"
#include "RecordingSupport.h"

#include <QWindow>

namespace {

class WaylandWindow : public TRecordingTest {
protected:
    void SetUp() override
    {
        TRecordingTest::SetUp();
        ASSERT_TRUE(QGuiApplication::platformName().startsWith("wayland"))
            << "running on " << QGuiApplication::platformName().toStdString();
    }
    void TearDown() override { SystemMoveRequest.Replace({}); }
};

TEST_F(WaylandWindow, ShowsItsWindowWhereTheCompositorPutsIt)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window, EventBoundMs));
    EXPECT_EQ(Window.size(), QSize(350, 200));
    EXPECT_FALSE(Window.testAttribute(Qt::WA_Moved)) << "the window placed itself";
    EXPECT_TRUE(Errors.Messages.isEmpty()) << Errors.Messages.join('\n').toStdString();
}

// The compositor has no pointer here, so it may refuse the move; the request is what counts.
TEST_F(WaylandWindow, PressOnTheBackgroundAsksTheCompositorToMoveTheWindow)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window, EventBoundMs));
    int Asked = 0;
    TSystemMoveRequest Platform;
    Platform = SystemMoveRequest.Replace([&](QWindow& Handle) {
        ++Asked;
        return Platform(Handle);
    });
    QTest::mousePress(Control("BackG"), Qt::LeftButton, {}, { 100, 12 });
    QTest::mouseRelease(Control("BackG"), Qt::LeftButton, {}, { 100, 12 });
    EXPECT_EQ(Asked, 1);
}

TEST_F(WaylandWindow, Records)
{
    const QString File = FilePath("wayland.mp3");
    TMainForm& Window = OpenWithFile(File);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window, EventBoundMs));
    ASSERT_TRUE(RecordToEnd("5"));
    ExpectIdleLook("MP3 Done");
    ExpectRecording(File, 44100, 128, 5);
}

} // namespace
