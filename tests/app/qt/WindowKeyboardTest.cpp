// The Qt window used with the keyboard only: Tab through the settings and the image buttons,
// their focus mark, Space, Enter and the shortcuts, the radio group, the lists, and the focus
// coming back to its control when the window is activated again, after a message box and after
// the Save dialog; the input chooser last in the round, opened by its keys.
#include "Dialogs.h"
#include "RecordSettings.h"
#include "RecordingSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace {

const char* const ImageButtons[] = { "RecB", "PauseB", "StopB", "MinB", "CloseB" };

// Presses Escape in the next modal window once it is the active one, as the user would; the
// window's nested event loop runs the check.
void EscapeTheNextModalWindow(int& Closed)
{
    auto* Check = new QTimer;
    QObject::connect(Check, &QTimer::timeout, [Check, &Closed] {
        QWidget* Modal = QApplication::activeModalWidget();
        if (!Modal || QApplication::activeWindow() != Modal)
            return;
        Check->deleteLater();
        Check->stop();
        ++Closed;
        QTest::keyClick(Modal, Qt::Key_Escape);
    });
    Check->start(10);
}

class WindowKeyboard : public TRecordingTest {
protected:
    // A key typed on the control that has the focus, as the user types it.
    void Type(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QWidget* Focused = QApplication::focusWidget();
        ASSERT_NE(Focused, nullptr);
        QTest::keyClick(Focused, static_cast<Qt::Key>(Key), Modifiers);
    }
    // Tabs until the control Name has the focus; fails after a round without it.
    void TabTo(const char* Name)
    {
        QWidget* Target = Control(Name);
        for (int Step = 0; Step < 20 && QApplication::focusWidget() != Target; ++Step)
            Type(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Target) << Name;
    }
    QImage Look(const char* Name) { return Control(Name)->grab().toImage(); }
};

TEST_F(WindowKeyboard, TabReachesEveryImageButtonAfterTheSettingsAndMarksIt)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    TabTo("SRate");
    std::vector<QImage> Unmarked;
    for (const char* Name : ImageButtons) {
        const QImage Before = Look(Name);
        Unmarked.push_back(Before);
        Type(Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), Control(Name)) << "Tab after the lists: " << Name;
        EXPECT_NE(Look(Name), Before) << "no focus mark on " << Name;
        Window.grab().save(
            QStringLiteral(CORVATONE_FOCUS_SHOTS) + "/Corvatone-focus-" + Name + ".png");
    }
    // The input chooser comes last, marked as the buttons are; Space, Enter and Alt+Down open its
    // menu, other keys do not.
    const QImage Label = Look("LabDev");
    Type(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Control("LabDev"));
    EXPECT_EQ(Look("CloseB"), Unmarked.back()) << "the mark goes with the focus";
    EXPECT_NE(Look("LabDev"), Label) << "no focus mark on the input chooser";
    Window.grab().save(QStringLiteral(CORVATONE_FOCUS_SHOTS) + "/Corvatone-focus-LabDev.png");
    std::vector<std::vector<QString>> Menus;
    const TPopupMenuRunner Previous
        = PopupMenuRunner.Replace([&](QMenu& Menu, QPoint) -> std::optional<int> {
              std::vector<QString> Entries;
              for (const QAction* Action : Menu.actions())
                  Entries.push_back((Action->isChecked() ? "* " : "") + Action->text());
              Menus.push_back(Entries);
              return std::nullopt;
          });
    Type(Qt::Key_Space);
    Type(Qt::Key_Return);
    Type(Qt::Key_Down, Qt::AltModifier);
    Type(Qt::Key_Down);
    PopupMenuRunner.Replace(Previous);
    ASSERT_EQ(Menus.size(), 3u);
    EXPECT_EQ(Menus[0], (std::vector<QString>{ "* Simulated Sound Card" }));
    EXPECT_EQ(QApplication::focusWidget(), Control("LabDev"));

    Type(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Control("DirOut")) << "the round starts again";
    EXPECT_EQ(Look("LabDev"), Label) << "the mark goes with the focus";
}

TEST_F(WindowKeyboard, ARecordingIsChosenRunPausedResumedAndStoppedWithKeysOnly)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    const QString File = FilePath("keys.mp3");
    // Save as has the focus at start; Space presses it, and the focus stays.
    SaveDialog.Answer = File;
    Type(Qt::Key_Space);
    SaveDialog.Answer.reset();
    ASSERT_EQ(SaveDialog.Shown, 1);
    EXPECT_EQ(Control<QLineEdit>("DirOut")->text(), File);
    EXPECT_EQ(QApplication::focusWidget(), Control("SaveAs"));

    // The radio group is one tab stop, its checked button; the arrow keys choose No Limit, which
    // becomes the stop, and back.
    Type(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Control("SecCustom"));
    Type(Qt::Key_Down);
    EXPECT_TRUE(Control<QRadioButton>("SecNoLimit")->isChecked());
    EXPECT_FALSE(Secs()->isEnabled());
    Type(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Control("KBS")) << "past the disabled seconds box";
    Type(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), Control("SecNoLimit"));
    Type(Qt::Key_Up);
    EXPECT_TRUE(Control<QRadioButton>("SecCustom")->isChecked());
    EXPECT_TRUE(Secs()->isEnabled());

    // The lists change by the arrow keys.
    TabTo("SRate");
    Type(Qt::Key_Up);
    EXPECT_EQ(SRate()->currentText(), "22050");
    TabTo("KBS");
    const QString Before = KBS()->currentText();
    Type(Qt::Key_Down);
    EXPECT_NE(KBS()->currentText(), Before);
    const int Kbps = KBS()->currentText().toInt();

    Secs()->setValue(RecordSettings::MaxSeconds);
    TabTo("RecB");
    Type(Qt::Key_Space);
    ExpectRecordingLook();
    Type(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(TMainTestAccess::Paused(Behaviour(Window)));
    TabTo("PauseB");
    Type(Qt::Key_Return);
    ExpectRecordingLook();
    Type(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    const TMp3Decoded Decoded = DecodeMp3File(File.toStdString());
    ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
    EXPECT_EQ(Decoded.SampleRate, 22050);
    EXPECT_EQ(Decoded.FramesByBitRate.begin()->first, Kbps);

    // A shortcut acts from a list's text box too, and the close button closes on Enter.
    TabTo("KBS");
    Type(Qt::Key_R, Qt::ControlModifier);
    ExpectRecordingLook();
    Type(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    TabTo("CloseB");
    Type(Qt::Key_Enter);
    EXPECT_FALSE(Window.isVisible());
}

TEST_F(WindowKeyboard, TheFocusComesBackToItsControlWhenTheWindowIsActivatedAgain)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    TabTo("MinB");
    QWidget Other;
    Other.show();
    Other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Other));
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    EXPECT_EQ(QApplication::focusWidget(), Control("MinB"));
    Type(Qt::Key_Space);
    EXPECT_TRUE(Window.isMinimized());
}

TEST_F(WindowKeyboard, TheFocusComesBackToItsControlAfterAMessageBoxAndTheSaveDialog)
{
    TMainForm& Window = OpenWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    // The system's own box and dialog, not the fixture's stand-ins.
    TMessageShower Recorder = MessageShower.Replace(nullptr);
    TSaveDialogRunner Answerer = SaveDialogRunner.Replace(nullptr);
    int Closed = 0;

    TabTo("RecB");
    EscapeTheNextModalWindow(Closed);
    Type(Qt::Key_Space); // no file chosen: the warning box
    EXPECT_EQ(Closed, 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    EXPECT_EQ(QApplication::focusWidget(), Control("RecB"));

    TabTo("SaveAs");
    EscapeTheNextModalWindow(Closed);
    Type(Qt::Key_Space);
    EXPECT_EQ(Closed, 2);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    EXPECT_EQ(QApplication::focusWidget(), Control("SaveAs"));
    EXPECT_EQ(Control<QLineEdit>("DirOut")->text(), "");

    MessageShower.Replace(std::move(Recorder));
    SaveDialogRunner.Replace(std::move(Answerer));
}

} // namespace
