// The window scenarios on the Qt window, offscreen: the user's input becomes the toolkit's own
// mouse, key and timer events on the window's widgets, so that the scenarios prove the front
// end's translation too. The window reads a copy of the build's skin, in which a scenario may
// hide files.
#include "QtWindowDriver.h"

#include "AppTestSupport.h"
#include "Dialogs.h"
#include "FormDescription.h"
#include "FormWidgets.h"
#include "ScenarioTest.h"
#include "TFlatProgressBarUnit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimerEvent>

namespace {

const char* const SkinFileNames[]
    = { "Window.png", "CloseB.png", "CloseB_ON.png", "MinB.png", "MinB_ON.png", "RecBut.bmp",
          "RecBut_ON.bmp", "PauseBut.bmp", "PauseBut_ON.bmp", "StopBut.bmp", "StopBut_ON.bmp" };

Qt::MouseButton QtButton(TMouseButton Button)
{
    switch (Button) {
    case TMouseButton::mbRight:
        return Qt::RightButton;
    case TMouseButton::mbMiddle:
        return Qt::MiddleButton;
    default:
        return Qt::LeftButton;
    }
}

struct TQtKey {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
};

TQtKey QtKey(TUserKey Key)
{
    switch (Key) {
    case TUserKey::Tab:
        return { Qt::Key_Tab, Qt::NoModifier };
    case TUserKey::ShiftTab:
        return { Qt::Key_Backtab, Qt::ShiftModifier };
    case TUserKey::Space:
        return { Qt::Key_Space, Qt::NoModifier };
    case TUserKey::Enter:
        return { Qt::Key_Return, Qt::NoModifier };
    case TUserKey::Up:
        return { Qt::Key_Up, Qt::NoModifier };
    case TUserKey::Down:
        return { Qt::Key_Down, Qt::NoModifier };
    case TUserKey::CtrlR:
        return { Qt::Key_R, Qt::ControlModifier };
    case TUserKey::CtrlP:
        return { Qt::Key_P, Qt::ControlModifier };
    default:
        return { Qt::Key_S, Qt::ControlModifier };
    }
}

QImage Comparable(const QImage& Image)
{
    return Image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class TQtWindowDriver final : public TWindowDriver {
public:
    TQtWindowDriver()
    {
        FPreviousShower = MessageShower.Replace([this](QWidget*, const TMessage& Message) {
            FBoxes.push_back({ Message.Kind, Message.Title, Message.Text });
        });
        FPreviousReporter = ErrorReporter.Replace([this](QWidget*, const QString& Message) {
            FBoxes.push_back({ TMessageKind::mkError, "", Message.toStdString() });
        });
        FPreviousAsker = QuestionAsker.Replace([this](QWidget*, const TQuestion& Question) {
            FBoxes.push_back({ TMessageKind::mkWarning, Question.Title, Question.Text });
            return true;
        });
        // The menu as the window built it: its actions' texts and check marks, the answer's action
        // chosen.
        FPreviousMenuRunner
            = PopupMenuRunner.Replace([this](QMenu& Menu, QPoint) -> std::optional<int> {
                  TShownMenu Shown;
                  std::optional<int> Chosen;
                  const QList<QAction*> Actions = Menu.actions();
                  for (int Index = 0; Index < Actions.size(); ++Index) {
                      Shown.Entries.push_back(Actions[Index]->text().toStdString());
                      if (Actions[Index]->isChecked())
                          Shown.Checked = Index;
                      if (FMenuAnswer && Actions[Index]->text().toStdString() == *FMenuAnswer)
                          Chosen = Index;
                  }
                  FMenus.push_back(Shown);
                  return Chosen;
              });
        FPreviousRunner = SaveDialogRunner.Replace([this](QFileDialog&) -> std::optional<QString> {
            if (!FSaveAnswer)
                return std::nullopt;
            return QString::fromStdString(*FSaveAnswer);
        });
    }
    ~TQtWindowDriver() override
    {
        FForm.reset();
        MessageShower.Replace(std::move(FPreviousShower));
        ErrorReporter.Replace(std::move(FPreviousReporter));
        QuestionAsker.Replace(std::move(FPreviousAsker));
        SaveDialogRunner.Replace(std::move(FPreviousRunner));
        PopupMenuRunner.Replace(std::move(FPreviousMenuRunner));
    }

    void Open(bool WithSkin) override
    {
        const QDir Skin(FSkinCopy.filePath("Skin"));
        if (WithSkin) {
            EXPECT_TRUE(QDir().mkpath(Skin.path()));
            for (const char* Name : SkinFileNames)
                EXPECT_TRUE(QFile::copy(SkinParent + "/Skin/" + Name, Skin.filePath(Name))) << Name;
        }
        FForm = std::make_unique<TMainForm>(FSkinCopy.path());
        FForm->show();
    }
    TMain& Main() override { return Behaviour(*FForm); }
    void Destroy() override { FForm.reset(); }

    void Press(TControl Control, TMouseButton Button, int X, int Y) override
    {
        // The press goes to the widget under the pointer, as the window system's would.
        const QPoint InForm = Widget(Control)->mapTo(FForm.get(), QPoint(X, Y));
        QWidget* Target = FForm->childAt(InForm);
        if (!Target)
            Target = FForm.get();
        if (Button == TMouseButton::mbLeft)
            FPrimaryPress = Target;
        FHeld |= QtButton(Button);
        QTest::mousePress(Target, QtButton(Button), {}, Target->mapFrom(FForm.get(), InForm));
    }
    void Move(TControl Control, int X, int Y) override
    {
        // The toolkit sends the moves of a press under way to the control of the press.
        QWidget* Target = FPrimaryPress ? FPrimaryPress : Widget(Control);
        const QPoint At(X, Y);
        QMouseEvent Event(
            QEvent::MouseMove, At, Target->mapToGlobal(At), Qt::NoButton, FHeld, Qt::NoModifier);
        QCoreApplication::sendEvent(Target, &Event);
    }
    void Release(TControl Control, TMouseButton Button, int X, int Y) override
    {
        QWidget* Target = Widget(Control);
        if (Button == TMouseButton::mbLeft && FPrimaryPress)
            Target = FPrimaryPress;
        if (Button == TMouseButton::mbLeft)
            FPrimaryPress = nullptr;
        FHeld &= ~QtButton(Button);
        QTest::mouseRelease(Target, QtButton(Button), {}, QPoint(X, Y));
    }
    void Click(TControl Control) override { QTest::mouseClick(Widget(Control), Qt::LeftButton); }
    void Type(TControl Control, const std::string& Text) override
    {
        QWidget* Target = Widget(Control);
        if (!Target->isEnabled())
            ADD_FAILURE() << ControlName(Control) << " is disabled";
        if (auto* Box = qobject_cast<QComboBox*>(Target))
            Target = Box->lineEdit();
        QTest::keyClick(Target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(Target, Qt::Key_Backspace);
        QTest::keyClicks(Target, QString::fromStdString(Text));
    }
    void Choose(TControl Control, const std::string& Entry) override
    {
        // The arrow keys step through the entries as a user's do, each step a change.
        auto* Box = qobject_cast<QComboBox*>(Widget(Control));
        const int Wanted = Box->findText(QString::fromStdString(Entry), Qt::MatchExactly);
        if (Wanted < 0) {
            ADD_FAILURE() << ControlName(Control) << " has no entry " << Entry;
            return;
        }
        if (Box->currentIndex() == Wanted && Box->currentText() != Box->itemText(Wanted))
            QTest::keyClick(Box, Wanted > 0 ? Qt::Key_Up : Qt::Key_Down);
        while (Box->currentIndex() < Wanted)
            QTest::keyClick(Box, Qt::Key_Down);
        while (Box->currentIndex() > Wanted)
            QTest::keyClick(Box, Qt::Key_Up);
    }
    void PressKey(TUserKey Key) override
    {
        AwaitActive();
        QWidget* Target = QApplication::focusWidget();
        const TQtKey Typed = QtKey(Key);
        QTest::keyClick(Target ? Target : FForm.get(), Typed.Key, Typed.Modifiers);
    }
    void Tick() override
    {
        QTimer& Tim = TMainFormTestAccess::Tim(*FForm);
        if (!Tim.isActive())
            return;
        QTimerEvent Event(Tim.timerId());
        QCoreApplication::sendEvent(&Tim, &Event);
    }
    void Pump() override { QCoreApplication::processEvents(); }
    bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Bound) override
    {
        return QTest::qWaitFor(Done, static_cast<int>(Bound.count()));
    }

    void AnswerSaveDialog(std::optional<std::string> Path) override
    {
        FSaveAnswer = std::move(Path);
    }
    void AnswerMenu(std::optional<std::string> Entry) override { FMenuAnswer = std::move(Entry); }
    void HideSkinFile(const std::string& Name, bool Hidden) override
    {
        const QDir Skin(FSkinCopy.filePath("Skin"));
        const QString File = Skin.filePath(QString::fromStdString(Name));
        EXPECT_TRUE(
            Hidden ? QFile::rename(File, File + ".hidden") : QFile::rename(File + ".hidden", File))
            << Name;
    }

    std::vector<TShownBox> TakeBoxes() override { return std::exchange(FBoxes, {}); }
    std::vector<TShownMenu> TakeMenus() override { return std::exchange(FMenus, {}); }
    std::string Hint(TControl Control) override { return Widget(Control)->toolTip().toStdString(); }
    std::string Picture(TControl Control) override
    {
        const auto* Image = qobject_cast<TImage*>(Widget(Control));
        if (!Image->HasPicture())
            return "";
        const QImage Shown = Comparable(Image->Picture().toImage());
        for (const char* Name : SkinFileNames)
            if (Shown == Comparable(QImage(SkinParent + "/Skin/" + Name)))
                return Name;
        return "a picture that is no skin file";
    }
    std::string Text(TControl Control) override { return FForm->Text(Control); }
    std::vector<std::string> Items(TControl Control) override { return FForm->Items(Control); }
    bool Enabled(TControl Control) override { return Widget(Control)->isEnabled(); }
    bool Checked(TControl Control) override
    {
        return qobject_cast<QAbstractButton*>(Widget(Control))->isChecked();
    }
    std::optional<TControl> Focused() override
    {
        AwaitActive();
        // A list's text box has the focus for its list.
        for (QWidget* Widget = QApplication::focusWidget(); Widget; Widget = Widget->parentWidget())
            for (const TControlSpec& Spec : Form::Controls())
                if (Widget->objectName() == ControlName(Spec.Id))
                    return Spec.Id;
        return std::nullopt;
    }
    int Position(TControl Control) override
    {
        return qobject_cast<TFlatProgressBar*>(Widget(Control))->Position();
    }
    TWindowPlace Place() override { return { FForm->pos().x(), FForm->pos().y() }; }
    bool Minimised() override { return FForm->isMinimized(); }
    bool Closed() override { return !FForm->isVisible(); }

private:
    // The window is active once shown, and again once its box or dialog has closed; keys reach
    // the active window only.
    void AwaitActive()
    {
        if (!FForm->isActiveWindow()) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(FForm.get()));
        }
    }
    QWidget* Widget(TControl Control)
    {
        QWidget* Found = FForm->findChild<QWidget*>(ControlName(Control));
        if (!Found)
            throw std::logic_error(
                std::string("The window has no control ") + ControlName(Control));
        return Found;
    }

    QTemporaryDir FSkinCopy;
    std::unique_ptr<TMainForm> FForm;
    QWidget* FPrimaryPress = nullptr;
    Qt::MouseButtons FHeld;
    std::optional<std::string> FSaveAnswer;
    std::vector<TShownBox> FBoxes;
    TMessageShower FPreviousShower;
    TErrorReporter FPreviousReporter;
    TQuestionAsker FPreviousAsker;
    TSaveDialogRunner FPreviousRunner;
    std::optional<std::string> FMenuAnswer;
    std::vector<TShownMenu> FMenus;
    TPopupMenuRunner FPreviousMenuRunner;
};

} // namespace

std::unique_ptr<TWindowDriver> MakeQtWindowDriver()
{
    return std::make_unique<TQtWindowDriver>();
}
