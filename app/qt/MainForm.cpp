#include "MainForm.h"

#include "ControlInput.h"
#include "Dialogs.h"
#include "FormDescription.h"
#include "GradBtn.h"
#include "SessionEnd.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>

namespace {

// Gives the window the activation back when its box or dialog has closed, and with it the focus
// to the control that had it: without a window manager nothing else would.
struct TActivationReturn {
    QWidget& Window;
    ~TActivationReturn()
    {
        if (Window.isVisible() && !Window.isMinimized())
            Window.activateWindow();
    }
};

} // namespace

TMainForm::TMainForm(const QString& AppPathForTests)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , FAppPathForTests(AppPathForTests)
{
    BindControls(BuildForm(*this));
    setFixedSize(size());
    setWindowIcon(QApplication::windowIcon());
    Tim = new QTimer(this);
    FInput = new TControlInput(*this, FEvents);
    ConnectEvents();
    // Centred on the primary screen where the window places itself; the compositor's choice
    // elsewhere.
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!CompositorPlacesWindows(QGuiApplication::platformName()) && Screen) {
        QRect Frame = geometry();
        Frame.moveCenter(Screen->availableGeometry().center());
        move(Frame.topLeft());
    }
    FMain = std::make_unique<TMain>(*this);
    FEvents.Attach(FMain.get());
}

TMainForm::~TMainForm()
{
    // The behaviour still uses the window while it ends a run and destroys the sink.
    FEvents.Attach(nullptr);
    FMain.reset();
}

void TMainForm::ConnectEvents()
{
    for (int Index = 0; Index < ControlCount; ++Index) {
        const auto Control = static_cast<TControl>(Index);
        QWidget* Found = Widget(Control);
        if (Form::ReportsMouse(Form::Spec(Control))) {
            // The image controls and the input chooser: pressed and clicked as buttons are.
            FInput->Watch(Found, Control);
        } else if (auto* Radio = qobject_cast<QRadioButton*>(Found)) {
            connect(
                Radio, &QRadioButton::clicked, this, [this, Control] { FEvents.Click(Control); });
        } else if (auto* Button = qobject_cast<TGradBtn*>(Found)) {
            connect(Button, &TGradBtn::OnClick, this, [this, Control] { FEvents.Click(Control); });
        } else if (auto* Box = qobject_cast<QComboBox*>(Found)) {
            connect(
                Box, &QComboBox::currentTextChanged, this, [this, Control](const QString& Text) {
                    FEvents.Change(Control, Text.toStdString());
                });
        }
    }
    connect(Tim, &QTimer::timeout, this, [this] { FEvents.Tick(); });
    // The behaviour finishes the recording and closes the window, and every event loop ends, a
    // modal box's or dialog's too, so that the program ends.
    new TSessionEnd(this, [this] {
        FEvents.EndSession();
        QCoreApplication::exit(0);
    });
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (FEvents.CloseQuery())
        Event->accept();
    else
        Event->ignore();
}

// ---- Dialogs

void TMainForm::ShowMessage(const TMessage& Message)
{
    const TActivationReturn Return{ *this };
    MessageShower(this, Message);
}

bool TMainForm::Ask(const TQuestion& Question)
{
    const TActivationReturn Return{ *this };
    return QuestionAsker(this, Question);
}

std::optional<std::string> TMainForm::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    if (!SaveMp3) {
        SaveMp3 = new QFileDialog(this);
        SaveMp3->setObjectName("SaveMp3");
    }
    SaveMp3->setWindowTitle(QString::fromStdString(Spec.Title));
    SaveMp3->setAcceptMode(QFileDialog::AcceptSave);
    SaveMp3->setFileMode(QFileDialog::AnyFile);
    SaveMp3->setNameFilter(
        QString::fromStdString(Spec.FilterName + " (" + Spec.FilterPattern + ")"));
    SaveMp3->setDefaultSuffix(QString::fromStdString(Spec.DefaultExtension));
    SaveMp3->setOption(QFileDialog::DontConfirmOverwrite, !Spec.ConfirmOverwrite);
    SaveMp3->setSizeGripEnabled(Spec.Resizable);
    if (!Spec.Folder.empty())
        SaveMp3->setDirectory(QString::fromStdString(Spec.Folder));
    const TActivationReturn Return{ *this };
    if (const std::optional<QString> Path = SaveDialogRunner(*SaveMp3))
        return Path->toStdString();
    return std::nullopt;
}

std::optional<int> TMainForm::RunMenu(const TMenuSpec& Spec)
{
    QMenu Menu(this);
    Menu.setObjectName("PopupMenu");
    // One group: the check marks show as the one choice among the entries.
    auto* Group = new QActionGroup(&Menu);
    for (size_t Index = 0; Index < Spec.Entries.size(); ++Index) {
        QAction* Action = Menu.addAction(QString::fromStdString(Spec.Entries[Index]));
        Action->setCheckable(true);
        Action->setChecked(static_cast<int>(Index) == Spec.Checked);
        Group->addAction(Action);
    }
    if (Spec.Checked >= 0 && Spec.Checked < static_cast<int>(Spec.Entries.size()))
        Menu.setActiveAction(Menu.actions().at(Spec.Checked));
    const QWidget* Below = Widget(Spec.Below);
    return PopupMenuRunner(Menu, Below->mapToGlobal(QPoint(0, Below->height())));
}

void TMainForm::ReportError(const std::string& Message)
{
    const TActivationReturn Return{ *this };
    // A box over the hidden window (an error at start-up) would have no taskbar entry of its
    // own and could hide behind other windows: until the window shows, the box has no parent.
    ErrorReporter(isVisible() ? this : nullptr, QString::fromStdString(Message));
}

// ---- The window

std::string TMainForm::ApplicationFolder() const
{
    const QString Folder
        = FAppPathForTests.isEmpty() ? QCoreApplication::applicationDirPath() : FAppPathForTests;
    return Folder.toStdString();
}

bool TMainForm::StartSystemMove()
{
    QWindow* Handle = windowHandle();
    return Handle && SystemMoveRequest(*Handle);
}

void TMainForm::Post(std::function<void()> Call)
{
    // Queued calls die with the window.
    QMetaObject::invokeMethod(this, std::move(Call), Qt::QueuedConnection);
}
