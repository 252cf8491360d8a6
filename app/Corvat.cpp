#include "Corvat.h"

#include "FormAttributes.h"
#include "HandlerGuard.h"
#include "SkinFiles.h"
#include "TImage.h"
#include "ui_Corvat.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImageReader>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

// How long closing during a recording gives the sink's worker to end the run.
constexpr std::chrono::milliseconds CloseWait{ 600 };
constexpr int TimerInterval = 100;

} // namespace

TMain::TMain(const QString& AppPathForTests)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , Form(std::make_unique<Ui::TMain>())
    , FAppPathForTests(AppPathForTests)
{
    InstallFontSubstitutes();
    Form->setupUi(this);
    setFixedSize(size());
    ApplyFormAttributes(this);

    FComponentOwner = std::make_unique<TComponent>();
    const TFormComponents Components = CreateFormComponents(*FComponentOwner, SinkEvents());
    AudIn = Components.AudIn;
    SndIndic = Components.SndIndic;
    MP3Out = Components.MP3Out;

    Tim = new QTimer(this);
    Tim->setInterval(TimerInterval);
    ConnectHandlers();
    Tim->start();
    CentreOnScreen();

    RunGuarded(this, [this] { FormCreate(); });
}

TMain::~TMain()
{
    Tim->stop();
    RunGuarded(this, [this] { FormDestroy(); });
    FComponentOwner.reset();
}

template <typename... TArgs> auto TMain::Guarded(void (TMain::*Handler)(TArgs...))
{
    return [this, Handler](TArgs... Args) { RunGuarded(this, [&] { (this->*Handler)(Args...); }); };
}

void TMain::ConnectHandlers()
{
    connect(Form->BackG, &TImage::MouseDown, this, Guarded(&TMain::BackGMouseDown));
    connect(Form->BackG, &TImage::MouseMove, this, Guarded(&TMain::BackGMouseMove));
    connect(Form->BackG, &TImage::MouseUp, this, Guarded(&TMain::BackGMouseUp));
    connect(Form->MinB, &TImage::MouseDown, this, Guarded(&TMain::MinBMouseDown));
    connect(Form->MinB, &TImage::Click, this, Guarded(&TMain::MinBClick));
    connect(Form->MinB, &TImage::MouseUp, this, Guarded(&TMain::MinBMouseUp));
    connect(Form->CloseB, &TImage::MouseDown, this, Guarded(&TMain::CloseBMouseDown));
    connect(Form->CloseB, &TImage::Click, this, Guarded(&TMain::CloseBClick));
    connect(Form->CloseB, &TImage::MouseUp, this, Guarded(&TMain::CloseBMouseUp));
    connect(Form->RecB, &TImage::MouseDown, this, Guarded(&TMain::RecBMouseDown));
    connect(Form->PauseB, &TImage::MouseDown, this, Guarded(&TMain::PauseBMouseDown));
    connect(Form->StopB, &TImage::MouseDown, this, Guarded(&TMain::StopBMouseDown));
    connect(Form->StopB, &TImage::MouseUp, this, Guarded(&TMain::StopBMouseUp));
    connect(Form->SaveAs, &TGradBtn::OnClick, this, Guarded(&TMain::SaveAsClick));
    connect(Form->SecNoLimit, &QRadioButton::clicked, this, Guarded(&TMain::SecNoLimitClick));
    connect(Form->SecCustom, &QRadioButton::clicked, this, Guarded(&TMain::SecCustomClick));
    connect(Form->SRate, &QComboBox::currentTextChanged, this, Guarded(&TMain::SRateChange));
    connect(Tim, &QTimer::timeout, this, Guarded(&TMain::TimTimer));
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMain::RefuseLogOff);
}

TFormEvents TMain::SinkEvents()
{
    // Posted, never waited for: the GUI thread itself waits for the worker while closing and
    // while the sink is destroyed. Events still queued when the window goes are dropped with it.
    TFormEvents Events;
    Events.MP3OutDone = [this](TComponent* Sender) {
        QMetaObject::invokeMethod(
            this, [this, Sender] { Guarded (&TMain::MP3OutDone)(Sender); }, Qt::QueuedConnection);
    };
    Events.MP3OutProgress = [this](TComponent* Sender) {
        QMetaObject::invokeMethod(
            this, [this, Sender] { Guarded (&TMain::MP3OutProgress)(Sender); },
            Qt::QueuedConnection);
    };
    return Events;
}

void TMain::CentreOnScreen()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    QRect Frame = geometry();
    Frame.moveCenter(Screen->availableGeometry().center());
    move(Frame.topLeft());
}

void TMain::RefuseLogOff(QSessionManager& Manager)
{
    if (!CanExit)
        Manager.cancel();
}

QString TMain::SkinPath(const char* FileName) const
{
    return AppPath + QLatin1String(SkinFiles::SkinFolder) + QLatin1String(FileName);
}

std::unique_ptr<QPixmap> TMain::ReadPng(const char* FileName) const
{
    const QString Path = SkinPath(FileName);
    QImageReader Reader(Path, "png");
    const QImage Image = Reader.read();
    if (Image.isNull())
        throw std::runtime_error("Cannot read image file " + Path.toStdString() + ": "
            + Reader.errorString().toStdString());
    return std::make_unique<QPixmap>(QPixmap::fromImage(Image));
}

void TMain::ShowKept(TImage* Control, const std::unique_ptr<QPixmap>& Picture)
{
    Control->SetPicture(Picture ? *Picture : QPixmap());
}

// ---- The window's own events

void TMain::FormCreate()
{
    setWindowIcon(QApplication::windowIcon());
    QString Folder
        = FAppPathForTests.isEmpty() ? QCoreApplication::applicationDirPath() : FAppPathForTests;
    while (Folder.endsWith('/'))
        Folder.chop(1);
    AppPath = Folder + '/';

    ClosePng = ReadPng(SkinFiles::CloseB);
    ClosePngOn = ReadPng(SkinFiles::CloseBOn);
    ShowKept(Form->CloseB, ClosePng);
    MinPng = ReadPng(SkinFiles::MinB);
    MinPngOn = ReadPng(SkinFiles::MinBOn);
    ShowKept(Form->MinB, MinPng);
    // The background is read once and not kept.
    Form->BackG->SetPicture(*ReadPng(SkinFiles::Window));
    Form->RecB->LoadFromFile(SkinPath(SkinFiles::RecBut));
    Form->PauseB->LoadFromFile(SkinPath(SkinFiles::PauseBut));
    Form->StopB->LoadFromFile(SkinPath(SkinFiles::StopBut));
    CanExit = false;
    Dragging = false;
    Paused = false;
    Recording = false;

    TWaveDeviceInfo Info;
    GetWaveDeviceInfo(AudIn->GetBaseChannel(), false, Info);
    Form->LabDev->setText(QString::fromStdString(Info.Name));
}

bool TMain::FormCloseQuery()
{
    return CanExit;
}

void TMain::FormDestroy()
{
    ClosePng.reset();
    ClosePngOn.reset();
    MinPng.reset();
    MinPngOn.reset();
}

void TMain::closeEvent(QCloseEvent* Event)
{
    bool MayClose = false;
    RunGuarded(this, [&] { MayClose = FormCloseQuery(); });
    if (MayClose)
        Event->accept();
    else
        Event->ignore();
}

// ---- Moving the window

void TMain::BackGMouseDown(Qt::MouseButton, int X, int Y)
{
    DragX = X;
    DragY = Y;
    Dragging = true;
}

void TMain::BackGMouseMove(int X, int Y)
{
    if (!Dragging)
        return;
    move(x() + X - DragX, y() + Y - DragY);
}

void TMain::BackGMouseUp(Qt::MouseButton, int, int)
{
    Dragging = false;
}

// ---- Minimise and close

void TMain::MinBMouseDown(Qt::MouseButton, int, int)
{
    ShowKept(Form->MinB, MinPngOn);
}

void TMain::MinBClick()
{
    showMinimized();
}

void TMain::MinBMouseUp(Qt::MouseButton, int, int)
{
    ShowKept(Form->MinB, MinPng);
}

void TMain::CloseBMouseDown(Qt::MouseButton, int, int)
{
    ShowKept(Form->CloseB, ClosePngOn);
}

void TMain::CloseBClick()
{
    MP3Out->Stop();
    // A paused worker sees the stop request only once it goes on.
    if (Paused)
        MP3Out->Resume();
}

void TMain::CloseBMouseUp(Qt::MouseButton, int, int)
{
    ShowKept(Form->CloseB, ClosePng);
    if (Recording || Paused) {
        Tim->stop();
        std::this_thread::sleep_for(CloseWait);
    }
    CanExit = true;
    close();
}

// ---- Recording control: the settings, Record, Pause, Stop and the sink's reports.

void TMain::RecBMouseDown(Qt::MouseButton, int, int) { }

void TMain::PauseBMouseDown(Qt::MouseButton, int, int) { }

void TMain::StopBMouseDown(Qt::MouseButton, int, int) { }

void TMain::StopBMouseUp(Qt::MouseButton, int, int) { }

void TMain::SaveAsClick() { }

void TMain::SecNoLimitClick() { }

void TMain::SecCustomClick() { }

void TMain::SRateChange(const QString&) { }

void TMain::TimTimer() { }

void TMain::MP3OutProgress(TComponent*) { }

void TMain::MP3OutDone(TComponent*) { }
