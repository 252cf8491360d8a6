// The window's place and its moves by platform: which platforms' compositors place and move
// windows, and a press on the background that the system takes as its move (through the front
// end's seam), here offscreen, where the window places and moves itself. The same on a Wayland
// compositor: WaylandWindowTest.cpp.
#include "AppTestSupport.h"
#include "Dialogs.h"

#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

TEST(WindowPlacement, OnlyWaylandPlatformsLeaveThePlaceAndTheMovesToTheCompositor)
{
    for (const char* Platform : { "wayland", "wayland-egl", "wayland-xcomposite-egl" })
        EXPECT_TRUE(CompositorPlacesWindows(QLatin1String(Platform))) << Platform;
    for (const char* Platform : { "xcb", "offscreen", "minimal", "eglfs", "windows", "" })
        EXPECT_FALSE(CompositorPlacesWindows(QLatin1String(Platform))) << Platform;
}

class WindowPlacementOffscreen : public TWindowTest {
protected:
    void TearDown() override { SystemMoveRequest.Replace({}); }
    void DragBackground(const QPoint& From, const QPoint& To)
    {
        QWidget* BackG = Control("BackG");
        QTest::mousePress(BackG, Qt::LeftButton, {}, From);
        QTest::mouseMove(BackG, To);
        QTest::mouseRelease(BackG, Qt::LeftButton, {}, To);
    }
};

TEST_F(WindowPlacementOffscreen, WindowCentresItselfAndAsksNoCompositorToMoveIt)
{
    TMainForm& Window = OpenWindow();
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    EXPECT_EQ(
        Window.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
    EXPECT_FALSE(Window.StartSystemMove()) << "no compositor takes the move offscreen";

    const QPoint Before = Window.pos();
    DragBackground({ 100, 12 }, { 130, 32 });
    EXPECT_EQ(Window.pos(), Before + QPoint(30, 20));
}

// Where the system takes the move at the press, the window does not follow the pointer as well.
TEST_F(WindowPlacementOffscreen, PressTakenByTheSystemGrabsNothing)
{
    TMainForm& Window = OpenWindow();
    std::vector<QWindow*> Requests;
    SystemMoveRequest.Replace([&](QWindow& Asked) {
        Requests.push_back(&Asked);
        return true;
    });
    const QPoint Before = Window.pos();
    DragBackground({ 100, 12 }, { 130, 32 });
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0], Window.windowHandle());
    EXPECT_EQ(Window.pos(), Before);
    EXPECT_FALSE(TMainTestAccess::Dragging(Behaviour(Window)));

    // A press on another control is no move.
    QTest::mouseClick(Control("MinB"), Qt::RightButton, {}, { 7, 8 });
    EXPECT_EQ(Requests.size(), 1u);
}

} // namespace
