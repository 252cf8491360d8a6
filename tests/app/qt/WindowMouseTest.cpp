// The mouse on the window: dragging it by its background, the minimise and close buttons, and
// the refusal of every other request to close the window.
#include "AppTestSupport.h"
#include "SkinFiles.h"
#include "TImage.h"

#include <QCloseEvent>
#include <QTest>

namespace {

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
    TMainForm& Window = OpenWindow();
    QWidget* BackG = Control("BackG");
    for (Qt::MouseButton Button : { Qt::LeftButton, Qt::RightButton, Qt::MiddleButton }) {
        const QPoint Start = Window.pos();
        // A point where the background is the topmost control (no frame or label above it).
        QTest::mousePress(BackG, Button, {}, QPoint(100, 12));
        EXPECT_TRUE(TMainTestAccess::Dragging(Behaviour(Window)));
        QTest::mouseMove(BackG, QPoint(130, -3));
        EXPECT_EQ(Window.pos(), Start + QPoint(30, -15)) << Button;
        // The grabbed point is under the pointer again; a further move goes on from there.
        QTest::mouseMove(BackG, QPoint(90, 22));
        EXPECT_EQ(Window.pos(), Start + QPoint(20, -5)) << Button;
        QTest::mouseRelease(BackG, Button, {}, QPoint(100, 12));
        EXPECT_FALSE(TMainTestAccess::Dragging(Behaviour(Window)));
        QTest::mouseMove(BackG, QPoint(160, 160));
        EXPECT_EQ(Window.pos(), Start + QPoint(20, -5)) << "moved after the release, " << Button;
    }
}

TEST_F(WindowMouse, MinimiseButtonShowsItsPressedPictureAndMinimisesOnClick)
{
    TMainForm& Window = OpenWindow();
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
    TMainForm& Window = OpenWindow();
    QTest::mouseClick(Control("MinB"), Qt::RightButton, {}, InsideSmallButton);
    EXPECT_FALSE(Window.isMinimized());
}

TEST_F(WindowMouse, APrimaryReleaseOutsideThePressedButtonGoesToItWithoutAClick)
{
    TMainForm& Window = OpenWindow();
    QWidget* MinB = Control("MinB");
    QTest::mousePress(MinB, Qt::LeftButton, {}, InsideSmallButton);
    // Released over the close button: the minimise button takes the release, nobody clicks.
    QTest::mouseRelease(MinB, Qt::LeftButton, {}, InsideSmallButton + QPoint(16, 0));
    EXPECT_EQ(Shown(MinB), SkinImage(SkinFiles::MinB));
    EXPECT_EQ(Shown(Control("CloseB")), SkinImage(SkinFiles::CloseB));
    EXPECT_FALSE(Window.isMinimized());
    EXPECT_TRUE(Window.isVisible());
}

TEST_F(WindowMouse, ASecondaryReleaseGoesToTheImageControlUnderThePointer)
{
    TMainForm& Window = OpenWindow();
    QWidget* MinB = Control("MinB");
    QTest::mousePress(MinB, Qt::RightButton, {}, InsideSmallButton);
    EXPECT_EQ(Shown(MinB), SkinImage(SkinFiles::MinBOn));
    // Released over the close button, whose release closes the window; the minimise button
    // keeps its pressed picture.
    QTest::mouseRelease(MinB, Qt::RightButton, {}, InsideSmallButton + QPoint(16, 0));
    EXPECT_FALSE(Window.isVisible());
    EXPECT_EQ(Shown(MinB), SkinImage(SkinFiles::MinBOn));
}

TEST_F(WindowMouse, OtherRequestsToCloseAreRefused)
{
    TMainForm& Window = OpenWindow();
    EXPECT_FALSE(Window.close());
    QTest::keyClick(&Window, Qt::Key_F4, Qt::AltModifier);
    QCloseEvent Request;
    QApplication::sendEvent(&Window, &Request);
    EXPECT_FALSE(Request.isAccepted());
    EXPECT_TRUE(Window.isVisible());
    EXPECT_FALSE(TMainTestAccess::CanExit(Behaviour(Window)));
}

TEST_F(WindowMouse, ClosingWhileIdleClosesAtOnce)
{
    TMainForm& Window = OpenWindow();
    QWidget* CloseB = Control("CloseB");
    QTest::mousePress(CloseB, Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_EQ(Shown(CloseB), SkinImage(SkinFiles::CloseBOn));
    QTest::mouseRelease(CloseB, Qt::LeftButton, {}, InsideSmallButton);
    EXPECT_FALSE(Window.isVisible());
    EXPECT_EQ(Shown(CloseB), SkinImage(SkinFiles::CloseB));
    // Only a close during a recording stops the timer before it waits.
    EXPECT_TRUE(TMainFormTestAccess::Tim(Window).isActive());
}

} // namespace
