// The mouse on the Qt window where the window scenarios (scenarios/) do not reach: where the
// image controls' releases go, and the refusal of every other request to close the window.
#include "AppTestSupport.h"
#include "FormWidgets.h"
#include "SkinFiles.h"

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

} // namespace
