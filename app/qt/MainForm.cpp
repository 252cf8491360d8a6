#include "MainForm.h"

#include "ErrorReports.h"
#include "GradBtn.h"
#include "HandlerGuard.h"
#include "MessageBoxes.h"
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

TMouseButton ToButton(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

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
    ConnectHandlers();
    CentreOnScreen();
    FMain = std::make_unique<TMain>(*this);
}

TMainForm::~TMainForm()
{
    // The behaviour still uses the window while it ends a run and destroys the sink.
    FMain.reset();
}

void TMainForm::Handle(const std::function<void(TMain&)>& Handler)
{
    if (FMain)
        RunGuarded(*this, [&] { Handler(*FMain); });
}

void TMainForm::ConnectHandlers()
{
    using TMouseHandler = void (TMain::*)(TMouseButton, int, int);
    auto Image = [this](TControl Control) { return static_cast<TImage*>(Widget(Control)); };
    auto Mouse = [this, Image](TControl Control, auto Signal, TMouseHandler Handler) {
        connect(
            Image(Control), Signal, this, [this, Handler](Qt::MouseButton Button, int X, int Y) {
                Handle([&](TMain& Main) { (Main.*Handler)(ToButton(Button), X, Y); });
            });
    };
    Mouse(TControl::BackG, &TImage::MouseDown, &TMain::BackGMouseDown);
    Mouse(TControl::BackG, &TImage::MouseUp, &TMain::BackGMouseUp);
    Mouse(TControl::MinB, &TImage::MouseDown, &TMain::MinBMouseDown);
    Mouse(TControl::MinB, &TImage::MouseUp, &TMain::MinBMouseUp);
    Mouse(TControl::CloseB, &TImage::MouseDown, &TMain::CloseBMouseDown);
    Mouse(TControl::CloseB, &TImage::MouseUp, &TMain::CloseBMouseUp);
    Mouse(TControl::RecB, &TImage::MouseDown, &TMain::RecBMouseDown);
    Mouse(TControl::PauseB, &TImage::MouseDown, &TMain::PauseBMouseDown);
    Mouse(TControl::StopB, &TImage::MouseDown, &TMain::StopBMouseDown);
    Mouse(TControl::StopB, &TImage::MouseUp, &TMain::StopBMouseUp);
    auto Plain = [this](void (TMain::*Handler)()) {
        return [this, Handler] { Handle([&](TMain& Main) { (Main.*Handler)(); }); };
    };
    connect(Image(TControl::BackG), &TImage::MouseMove, this,
        [this](int X, int Y) { Handle([&](TMain& Main) { Main.BackGMouseMove(X, Y); }); });
    connect(Image(TControl::MinB), &TImage::Click, this, Plain(&TMain::MinBClick));
    connect(Image(TControl::CloseB), &TImage::Click, this, Plain(&TMain::CloseBClick));
    connect(static_cast<TGradBtn*>(Widget(TControl::SaveAs)), &TGradBtn::OnClick, this,
        Plain(&TMain::SaveAsClick));
    connect(static_cast<QRadioButton*>(Widget(TControl::SecNoLimit)), &QRadioButton::clicked, this,
        Plain(&TMain::SecNoLimitClick));
    connect(static_cast<QRadioButton*>(Widget(TControl::SecCustom)), &QRadioButton::clicked, this,
        Plain(&TMain::SecCustomClick));
    connect(Tim, &QTimer::timeout, this, Plain(&TMain::TimTimer));
    connect(static_cast<QComboBox*>(Widget(TControl::SRate)), &QComboBox::currentTextChanged, this,
        [this](const QString& Text) {
            Handle([&](TMain& Main) { Main.SRateChange(Text.toStdString()); });
        });
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
    bool MayClose = false;
    Handle([&](TMain& Main) { MayClose = Main.FormCloseQuery(); });
    if (MayClose)
        Event->accept();
    else
        Event->ignore();
}

void TMainForm::RefuseLogOff(QSessionManager& Manager)
{
    // A session manager takes a cancellation only from a client it has let interact; without
    // that permission the log-off would go on (X11 sessions).
    bool MayClose = false;
    Handle([&](TMain& Main) { MayClose = Main.FormCloseQuery(); });
    if (!MayClose && Manager.allowsInteraction())
        Manager.cancel();
}

// ---- Dialogs

void TMainForm::ShowMessage(const TMessage& Message)
{
    ::ShowMessage(this, Message);
}

bool TMainForm::Ask(const TQuestion& Question)
{
    return AskQuestion(this, Question);
}

std::optional<std::string> TMainForm::RunSaveDialog(const TSaveDialogSpec& Spec)
{
    if (!SaveMp3) {
        SaveMp3 = new QFileDialog(this);
        SaveMp3->setObjectName("SaveMp3");
    }
    SetUpSaveDialog(*SaveMp3, Spec);
    if (const std::optional<QString> Path = ::RunSaveDialog(*SaveMp3))
        return Path->toStdString();
    return std::nullopt;
}

void TMainForm::ReportError(const std::string& Message)
{
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

void TMainForm::Post(std::function<void()> Call)
{
    // Queued calls die with the window.
    QMetaObject::invokeMethod(this, std::move(Call), Qt::QueuedConnection);
}
