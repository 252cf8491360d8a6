// The input chooser's menu as Qt shows it: opened by a click on the device label, at the label's
// bottom-left corner, the inputs by name with the current one checked; the window with the open
// menu is kept as a picture for a person to look at.
#include "AppTestSupport.h"
#include "PopupMenu.h"

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
        = SetPopupMenuRunner([&](QMenu& Menu, QPoint At) -> std::optional<int> {
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
    SetPopupMenuRunner(Previous);

    EXPECT_TRUE(Visible);
    EXPECT_EQ(OpenedAt, Label->mapToGlobal(QPoint(0, Label->height())));
    EXPECT_EQ(Shown,
        (QStringList{ "* Built-in Audio Analog Stereo", "Monitor of Built-in Audio",
            "USB Headset Microphone" }));
    EXPECT_EQ(qobject_cast<QLabel*>(Label)->text(), "USB Headset Microphone");
    EXPECT_TRUE(Errors.Messages.isEmpty());
}

} // namespace
