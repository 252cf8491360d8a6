#include "MainForm.h"

#include "ErrorReports.h"
#include "FormDescription.h"
#include "GradBtn.h"
#include "ImageMouseInput.h"
#include "KeyInput.h"
#include "MessageBoxes.h"
#include "PopupMenu.h"
#include "SaveDialog.h"
#include "TImage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

namespace {

QString ToQt(const std::string& Text)
{
    return QString::fromStdString(Text);
}

} // namespace

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
    CentreOnScreen();
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
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMainForm::RefuseLogOff);
}

void TMainForm::CentreOnScreen()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    QRect Frame = geometry();
    Frame.moveCenter(Screen->availableGeometry().center());
    move(Frame.topLeft());
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (FEvents.CloseQuery())
        Event->accept();
    else
        Event->ignore();
}

void TMainForm::RefuseLogOff(QSessionManager& Manager)
{
    // A session manager takes a cancellation only from a client it has let interact; without
    // that permission the log-off would go on (X11 sessions).
    if (!FEvents.CloseQuery() && Manager.allowsInteraction())
        Manager.cancel();
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
    ::ReportError(this, ToQt(Message));
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
