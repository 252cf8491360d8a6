// The Qt window as a screen reader reads it through Qt's accessibility: every control a user
// operates or reads named and with its role in the window's tree, the image buttons pressed by
// their accessible action through the window's routing, the bars' values. Offscreen, Qt tells
// no changes; the test through AT-SPI (tests/app/qt/read-by-screen-reader) hears them.
#include "AccessibleState.h"
#include "RecordingSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>

namespace {

class WindowAccessibility : public TRecordingTest {
protected:
    static QAccessibleInterface* Accessible(QWidget* Widget)
    {
        return QAccessible::queryAccessibleInterface(Widget);
    }
    // Presses the control as a screen reader does, by its accessible press action.
    static void PressByAction(QWidget* Widget)
    {
        QAccessibleActionInterface* Actions = Accessible(Widget)->actionInterface();
        ASSERT_NE(Actions, nullptr);
        ASSERT_TRUE(Actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        Actions->doAction(QAccessibleActionInterface::pressAction());
    }
};

// Every object of the tree below Root: role and name.
void Collect(QAccessibleInterface* Root, std::vector<std::pair<QAccessible::Role, QString>>& Found)
{
    for (int Index = 0; Index < Root->childCount(); ++Index) {
        QAccessibleInterface* Child = Root->child(Index);
        if (!Child)
            continue;
        Found.emplace_back(Child->role(), Child->text(QAccessible::Name));
        Collect(Child, Found);
    }
}

TEST_F(WindowAccessibility, EveryControlIsInTheWindowsTreeWithItsNameAndRole)
{
    TMainForm& Window = OpenWindow();
    std::vector<std::pair<QAccessible::Role, QString>> Found;
    Collect(Accessible(&Window), Found);
    const QString Device = Control<QLabel>("LabDev")->text();
    ASSERT_NE(Device, "Unknown") << "the simulated card names itself";
    const std::pair<QAccessible::Role, QString> Expected[] = {
        { QAccessible::Button, "Record" },
        { QAccessible::Button, "Pause" },
        { QAccessible::Button, "Stop" },
        { QAccessible::Button, "Minimize" },
        { QAccessible::Button, "Close Corvatone" },
        { QAccessible::Button, "Save as" },
        { QAccessible::RadioButton, "No Limit" },
        { QAccessible::RadioButton, "Custom" },
        { QAccessible::SpinBox, "Duration in seconds" },
        { QAccessible::EditableText, "Output file" },
        { QAccessible::ButtonMenu, "Input: " + Device },
        { QAccessible::ProgressBar, "Recording progress" },
        { QAccessible::ProgressBar, "Input level" },
        { QAccessible::StatusBar, "Status" },
    };
    for (const auto& [Role, Name] : Expected)
        EXPECT_EQ(std::count(Found.begin(), Found.end(), std::make_pair(Role, Name)), 1)
            << Name.toStdString() << " as role " << Role;

    // The lists are named by their labels' relation; on Linux a list's own name is its text.
    for (const auto& [List, Label] : { std::pair{ "KBS", "kbs" }, { "SRate", "Sample Rate:" } }) {
        QAccessibleInterface* Box = Accessible(Control(List));
        EXPECT_EQ(Box->role(), QAccessible::ComboBox);
        const auto Labels = Box->relations(QAccessible::Label);
        ASSERT_EQ(Labels.size(), 1) << List;
        EXPECT_EQ(Labels.front().first->text(QAccessible::Name), Label);
    }
    EXPECT_EQ(Accessible(Control("Secs"))->relations(QAccessible::Label).size(), 1);

    QAccessibleInterface* Radio = Accessible(Control("SecNoLimit"));
    EXPECT_EQ(Radio->text(QAccessible::Description), "Duration in seconds");
    QAccessibleInterface* Chooser = Accessible(Control("LabDev"));
    EXPECT_EQ(Chooser->text(QAccessible::Description), "Device");
    EXPECT_TRUE(Chooser->state().hasPopup);
    EXPECT_TRUE(Chooser->state().focusable);
    // Drawn controls that only name others or decorate have no action and no value.
    EXPECT_EQ(Accessible(Control("Indicator"))
                  ->actionInterface()
                  ->actionNames()
                  .count(QAccessibleActionInterface::pressAction()),
        0);
    EXPECT_EQ(Accessible(Control("RecB"))->valueInterface(), nullptr);
}

TEST_F(WindowAccessibility, TheAccessiblePressRecordsPausesAndStopsAsAClickDoes)
{
    TMainForm& Window = OpenWindow();
    const QString File = FilePath("pressed.mp3");
    SaveDialog.Answer = File;
    PressByAction(Control("SaveAs"));
    // The press reaches the window after the tool's call has returned.
    EXPECT_EQ(SaveDialog.Shown, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return SaveDialog.Shown == 1; }, EventBoundMs));
    SaveDialog.Answer.reset();
    EXPECT_EQ(Control<QLineEdit>("DirOut")->text(), File);

    QLabel* State = Control<QLabel>("State");
    PressByAction(Control("RecB"));
    ASSERT_TRUE(AwaitStatus("Record"));
    ExpectRecordingLook();
    EXPECT_EQ(Accessible(State)->text(QAccessible::Name), "Record");

    PressByAction(Control("PauseB"));
    ASSERT_TRUE(AwaitStatus("Pause"));
    EXPECT_TRUE(TMainTestAccess::Paused(Behaviour(Window)));
    // Stop acts on its release: the action gives the press and the release.
    PressByAction(Control("StopB"));
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    EXPECT_TRUE(ShowsPicture(Control("StopB"), SkinFiles::StopBut));
    EXPECT_EQ(Accessible(State)->text(QAccessible::Name), "MP3 Done");
    const TMp3Decoded Decoded = DecodeMp3File(File.toStdString());
    EXPECT_TRUE(Decoded.Ok) << Decoded.Error;

    PressByAction(Control("CloseB"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Window.isVisible(); }, EventBoundMs));
}

// The self-drawn controls tell the form's states and actions, following what the widgets show.
TEST_F(WindowAccessibility, TheSelfDrawnControlsTellTheFormsStatesAndActions)
{
    OpenWindow();
    const QString Press = QAccessibleActionInterface::pressAction();
    QAccessibleInterface* Record = Accessible(Control("RecB"));
    EXPECT_EQ(Record->text(QAccessible::Accelerator), "Ctrl+R");
    EXPECT_FALSE(Record->state().readOnly);
    EXPECT_EQ(Record->actionInterface()->actionNames().value(0), Press);

    // The chooser opens its menu by default; a tool that looks for a press finds one too.
    const QStringList Chooser = Accessible(Control("LabDev"))->actionInterface()->actionNames();
    EXPECT_EQ(Chooser.value(0), QAccessibleActionInterface::showMenuAction());
    EXPECT_EQ(Chooser.value(1), Press);
    EXPECT_FALSE(Accessible(Control("LabDev"))->state().readOnly) << "it is pressed";

    for (const char* Name : { "Progres", "Indicator", "State" }) {
        QAccessibleInterface* Shown = Accessible(Control(Name));
        EXPECT_TRUE(Shown->state().readOnly) << Name;
        EXPECT_FALSE(Shown->state().focusable) << Name;
        EXPECT_FALSE(Shown->actionInterface()->actionNames().contains(Press)) << Name;
    }
    ClickRadio("SecNoLimit");
    EXPECT_EQ(Accessible(Progres())->text(QAccessible::Value), "100");

    // Disabled, Save as is unavailable and offers no press; asked anyway, it does nothing.
    QWidget* Save = Control("SaveAs");
    Save->setEnabled(false);
    QAccessibleInterface* Saving = Accessible(Save);
    EXPECT_TRUE(Saving->state().disabled);
    EXPECT_TRUE(Saving->state().focusable);
    EXPECT_FALSE(Saving->actionInterface()->actionNames().contains(Press));
    Saving->actionInterface()->doAction(Press);
    QCoreApplication::processEvents();
    EXPECT_EQ(SaveDialog.Shown, 0);
    Save->setEnabled(true);
    EXPECT_FALSE(Saving->state().disabled);
    EXPECT_TRUE(Saving->actionInterface()->actionNames().contains(Press));
}

// Qt's own objects of the standard widgets tell the states the form decides, as the window's own
// objects of the self-drawn controls do, enabled and disabled.
TEST_F(WindowAccessibility, EveryControlTellsTheStatesTheFormDecides)
{
    OpenWindow();
    for (const TControl Id : Form::AccessibleControls()) {
        QWidget* Widget = Control(ControlName(Id));
        const auto* Button = qobject_cast<const QAbstractButton*>(Widget);
        for (const bool Enabled : { false, true }) {
            SCOPED_TRACE(std::string(ControlName(Id)) + (Enabled ? " enabled" : " disabled"));
            Widget->setEnabled(Enabled);
            TControlNow Now;
            Now.Enabled = Enabled;
            Now.Focused = Widget->hasFocus();
            Now.Checked = Button && Button->isChecked();
            const TAccessibleState Decided = Form::AccessibleView(Id, Now).State;
            const QAccessible::State Told = Accessible(Widget)->state();
            EXPECT_EQ(Told.disabled, Decided.Unavailable);
            EXPECT_EQ(Told.focusable, Decided.Focusable);
            EXPECT_EQ(Told.focused, Decided.Focused);
            EXPECT_EQ(Told.checked, Decided.Checked);
            EXPECT_EQ(Told.hasPopup, Decided.HasPopup);
            EXPECT_EQ(Told.readOnly, Decided.ReadOnly);
        }
    }
}

TEST_F(WindowAccessibility, TheBarsShowTheirValuesToAssistiveTools)
{
    OpenWindow();
    TFlatProgressBar* Bar = Progres();
    QAccessibleValueInterface* Value = Accessible(Bar)->valueInterface();
    ASSERT_NE(Value, nullptr);
    EXPECT_EQ(Value->currentValue().toInt(), 0);
    EXPECT_EQ(Value->minimumValue().toInt(), 0);
    EXPECT_EQ(Value->maximumValue().toInt(), 100);

    ClickRadio("SecNoLimit");
    EXPECT_EQ(Value->currentValue().toInt(), 100);
    ClickRadio("SecCustom");
    EXPECT_EQ(Value->currentValue().toInt(), 0);
    EXPECT_NE(Accessible(Indicator())->valueInterface(), nullptr);
}

} // namespace
