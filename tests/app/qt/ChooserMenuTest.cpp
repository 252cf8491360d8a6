// The input chooser's menu as Qt shows it: opened by a click on the device label, at the label's
// bottom-left corner, the inputs by name with the current one checked; the window with the open
// menu is kept as a picture for a person to look at; and the chooser as a screen reader finds it
// and opens it.
#include "AppTestSupport.h"
#include "Dialogs.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTest>

namespace {

class ChooserMenu : public TWindowTest {
protected:
    std::vector<TSimulatedDeviceSpec> InputDevices() override
    {
        return { SimulatedInput("Built-in Audio Analog Stereo", "analog"),
            SimulatedInput("Monitor of Built-in Audio", "monitor"),
            SimulatedInput("USB Headset Microphone", "usb") };
    }
};

TEST_F(ChooserMenu, OpensBelowTheLabelWithTheCurrentInputCheckedAndChoosesOne)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    QWidget* Label = Control("LabDev");
    QStringList Shown;
    QPoint OpenedAt;
    bool Visible = false;
    const TPopupMenuRunner Previous
        = PopupMenuRunner.Replace([&](QMenu& Menu, QPoint At) -> std::optional<int> {
              Menu.popup(At);
              Visible = QTest::qWaitForWindowExposed(&Menu);
              OpenedAt = Menu.pos();
              for (const QAction* Action : Menu.actions())
                  Shown << (Action->isChecked() ? "* " : "") + Action->text();
              // The window and the menu over it, as a person sees them.
              QImage Picture = Window.grab().toImage();
              QPainter Painter(&Picture);
              Painter.drawImage(Window.mapFromGlobal(Menu.pos()), Menu.grab().toImage());
              Painter.end();
              Picture.save(QStringLiteral(CORVATONE_FOCUS_SHOTS) + "/Corvatone-chooser.png");
              Menu.close();
              return 2;
          });
    QTest::mouseClick(Label, Qt::LeftButton, {}, QPoint(5, 5));
    PopupMenuRunner.Replace(Previous);

    EXPECT_TRUE(Visible);
    EXPECT_EQ(OpenedAt, Label->mapToGlobal(QPoint(0, Label->height())));
    EXPECT_EQ(Shown,
        (QStringList{ "* Built-in Audio Analog Stereo", "Monitor of Built-in Audio",
            "USB Headset Microphone" }));
    EXPECT_EQ(qobject_cast<QLabel*>(Label)->text(), "USB Headset Microphone");
    EXPECT_TRUE(Errors.Messages.isEmpty());
}

// A screen reader finds a button with a popup named by the input, and its show-menu action opens
// the menu once the tool's call has returned; the name follows the choice.
TEST_F(ChooserMenu, AScreenReaderOpensTheMenuByItsActionAndHearsTheChoice)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    QAccessibleInterface* Chooser = QAccessible::queryAccessibleInterface(Control("LabDev"));
    ASSERT_NE(Chooser, nullptr);
    EXPECT_EQ(Chooser->role(), QAccessible::ButtonMenu);
    EXPECT_TRUE(Chooser->state().hasPopup);
    EXPECT_EQ(Chooser->text(QAccessible::Name), "Input: Built-in Audio Analog Stereo");
    QAccessibleActionInterface* Actions = Chooser->actionInterface();
    ASSERT_NE(Actions, nullptr);
    ASSERT_TRUE(Actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));

    int Opened = 0;
    const TPopupMenuRunner Previous
        = PopupMenuRunner.Replace([&](QMenu&, QPoint) -> std::optional<int> {
              ++Opened;
              return 1;
          });
    Actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_EQ(Opened, 0) << "the menu must not open inside the tool's call";
    const bool Chosen = QTest::qWaitFor([&] { return Opened == 1; }, 30000);
    PopupMenuRunner.Replace(Previous);
    ASSERT_TRUE(Chosen);
    EXPECT_EQ(Chooser->text(QAccessible::Name), "Input: Monitor of Built-in Audio");
    EXPECT_TRUE(Errors.Messages.isEmpty());
}

} // namespace
