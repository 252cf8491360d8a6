#include "MainForm.h"

#include "ErrorReports.h"
#include "FormDescription.h"
#include "GradBtn.h"
#include "ImageMouseInput.h"
#include "KeyInput.h"
#include "MessageBoxes.h"
#include "PopupMenu.h"
#include "SaveDialog.h"
#include "SessionEnd.h"
#include "TImage.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QRadioButton>
#include <QTimer>

TMainForm::TMainForm(const QString& AppPathForTests)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , FAppPathForTests(AppPathForTests)
{
    BindControls(BuildForm(*this));
    setFixedSize(size());
    setWindowIcon(QApplication::windowIcon());
    Tim = new QTimer(this);
    FImageMouse = new TImageMouseInput(*this, FEvents);
    FKeyInput = new TKeyInput(*this, FEvents);
    ConnectEvents();
    PlaceFirst(*this);
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
            FImageMouse->Watch(Found, Control);
            FKeyInput->Watch(Found, Control);
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
    new TSessionEnd(this, [this] { EndSession(); });
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (FEvents.CloseQuery())
        Event->accept();
    else
        Event->ignore();
}

void TMainForm::EndSession()
{
    FEvents.EndSession();
    QCoreApplication::exit(0);
}

// ---- Dialogs

namespace {

// Gives the window the activation back when its box or dialog has closed, and with it the focus
// to the control that had it: without a window manager nothing else would.
class TActivationReturn {
public:
    explicit TActivationReturn(QWidget& Window)
        : FWindow(Window)
    {
    }
    ~TActivationReturn()
    {
        if (FWindow.isVisible() && !FWindow.isMinimized())
            FWindow.activateWindow();
    }
    TActivationReturn(const TActivationReturn&) = delete;
    TActivationReturn& operator=(const TActivationReturn&) = delete;

private:
    QWidget& FWindow;
};

} // namespace

void TMainForm::ShowMessage(const TMessage& Message)
{
    const TActivationReturn Return(*this);
    ::ShowMessage(this, Message);
}

bool TMainForm::Ask(const TQuestion& Question)
{
    const TActivationReturn Return(*this);
    return AskQuestion(this, Question);
}

std::optional<std::string> TMainForm::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    if (!SaveMp3) {
        SaveMp3 = new QFileDialog(this);
        SaveMp3->setObjectName("SaveMp3");
    }
    SetUpSaveDialog(*SaveMp3, Spec);
    const TActivationReturn Return(*this);
    if (const std::optional<QString> Path = ::RunSaveDialog(*SaveMp3))
        return Path->toStdString();
    return std::nullopt;
}

std::optional<int> TMainForm::RunMenu(const TMenuSpec& Menu)
{
    return RunPopupMenu(*this, *Widget(Menu.Below), Menu);
}

void TMainForm::ReportError(const std::string& Message)
{
    const TActivationReturn Return(*this);
    // A box over the hidden window (an error at start-up) would have no taskbar entry of its
    // own and could hide behind other windows: until the window shows, the box has no parent.
    ::ReportError(isVisible() ? this : nullptr, QString::fromStdString(Message));
}

// ---- The window

std::string TMainForm::ApplicationFolder() const
{
    const QString Folder
        = FAppPathForTests.isEmpty() ? QCoreApplication::applicationDirPath() : FAppPathForTests;
    return Folder.toStdString();
}

void TMainForm::StartTimer(std::chrono::milliseconds Interval)
{
    Tim->start(Interval);
}

void TMainForm::StopTimer()
{
    Tim->stop();
}

void TMainForm::Minimise()
{
    showMinimized();
}

void TMainForm::MoveBy(int DX, int DY)
{
    move(x() + DX, y() + DY);
}

bool TMainForm::StartSystemMove()
{
    return ::StartSystemMove(*this);
}

void TMainForm::Close()
{
    close();
}

void TMainForm::Activate(TControl Control)
{
    FEvents.Activate(Control);
}

void TMainForm::Post(std::function<void()> Call)
{
    // Queued calls die with the window.
    QMetaObject::invokeMethod(this, std::move(Call), Qt::QueuedConnection);
}
