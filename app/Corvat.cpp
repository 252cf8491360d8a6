#include "Corvat.h"

#include "FormAttributes.h"
#include "HandlerGuard.h"
#include "MessageBoxes.h"
#include "RecordSettings.h"
#include "SaveDialog.h"
#include "SkinFiles.h"
#include "TImage.h"
#include "ui_Corvat.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// How long closing during a recording waits for the run's end when the sink was not asked to
// stop (the close button's press ended outside it).
constexpr std::chrono::milliseconds CloseWait{ 600 };
constexpr int TimerInterval = 100;

const QString ErrorTitle = QStringLiteral("Error");
const QString WarningTitle = QStringLiteral("Warning");

// A level as the bar's position: nearest whole number, halves to even, not limited to 0..100
// (only to what the position can hold).
int LevelPosition(double Level)
{
    constexpr double Lowest = std::numeric_limits<int>::min();
    constexpr double Highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::nearbyint(Level), Lowest, Highest));
}

bool ListHolds(const QComboBox& Box, const QString& Text)
{
    for (int Index = 0; Index < Box.count(); ++Index)
        if (Box.itemText(Index) == Text)
            return true;
    return false;
}

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
    // Destroying the sink during a run would abandon it and leave its file without its end.
    if (MP3Out->Status() != osIdle) {
        MP3Out->Stop();
        if (MP3Out->Status() == osPaused)
            MP3Out->Resume();
        AwaitSinkIdle(RunEndLimit);
    }
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
    // while the sink is destroyed. Each report carries the number of the run it belongs to; the
    // run in progress on the worker is the one after the last that ended there.
    TFormEvents Events;
    Events.MP3OutDone = [this](TComponent* Sender) {
        const TRunNumber Run = FEndedRuns + 1;
        Post([this, Run, Sender] { SinkDone(Run, Sender); });
        RunEnded(Run);
    };
    Events.MP3OutProgress = [this](TComponent* Sender) {
        // Read now: by the time the GUI thread handles the report the run may have ended.
        const TRunNumber Run = FEndedRuns + 1;
        const int32_t Progress = MP3Out->Progress();
        Post([this, Run, Sender, Progress] { SinkProgress(Run, Sender, Progress); });
    };
    Events.MP3OutThreadException = [this](TComponent* Sender, const std::exception& E) {
        const QString Reason = QString::fromUtf8(E.what());
        if (std::this_thread::get_id() == FGuiThread) {
            // Run's Prepare failed: this run never started and never counts.
            FStartFailed = true;
            Post([this, Run = FStartedRuns, Sender, Reason] { SinkFailed(Run, Sender, Reason); });
            return;
        }
        const TRunNumber Run = FEndedRuns + 1;
        Post([this, Run, Sender, Reason] { SinkFailed(Run, Sender, Reason); });
        RunEnded(Run);
    };
    return Events;
}

void TMain::Post(std::function<void()> Call)
{
    QMetaObject::invokeMethod(this, std::move(Call), Qt::QueuedConnection);
}

void TMain::RunEnded(TRunNumber Run)
{
    // Counted once its report is queued. Taking the lock orders the wake-up after a waiter's
    // look at the sink's state.
    FEndedRuns = Run;
    {
        std::lock_guard Lock(FRunEndMutex);
    }
    FRunEndChanged.notify_all();
}

bool TMain::AwaitSinkIdle(std::chrono::milliseconds Bound)
{
    std::unique_lock Lock(FRunEndMutex);
    return FRunEndChanged.wait_for(Lock, Bound, [this] { return MP3Out->Status() == osIdle; });
}

void TMain::SinkProgress(TRunNumber Run, TComponent* Sender, int32_t Progress)
{
    // Progress of a run the window no longer shows (stopped, or an earlier one) is not shown.
    if (Recording && Run == FStartedRuns)
        RunGuarded(this, [&] { MP3OutProgress(Sender, Progress); });
}

void TMain::SinkDone(TRunNumber Run, TComponent* Sender)
{
    // The end of an earlier run, arriving after a newer one has started, leaves the newer alone.
    if (Run == FStartedRuns)
        RunGuarded(this, [&] { MP3OutDone(Sender); });
}

void TMain::SinkFailed(TRunNumber Run, TComponent* Sender, const QString& Reason)
{
    if (Run == FStartedRuns)
        RunGuarded(this, [&] { MP3OutThreadException(Sender, Reason); });
    else
        ShowRunError(Reason);
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
    // A session manager takes a cancellation only from a client it has let interact; without
    // that permission the log-off would go on (X11 sessions).
    if (!CanExit && Manager.allowsInteraction())
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
    FStopRequestedOnClose = true;
    // A paused worker sees the stop request only once it goes on.
    if (Paused)
        MP3Out->Resume();
}

void TMain::CloseBMouseUp(Qt::MouseButton, int, int)
{
    ShowKept(Form->CloseB, ClosePng);
    if (Recording || Paused) {
        Tim->stop();
        // The window goes only once the run has ended, so that its file is complete. Without a
        // stop request the run goes on; the window's destruction ends it.
        AwaitSinkIdle(FStopRequestedOnClose ? RunEndLimit : CloseWait);
    }
    CanExit = true;
    close();
}

// ---- Recording control: the settings, Record, Pause, Stop and the sink's reports.

void TMain::RecBMouseDown(Qt::MouseButton, int, int)
{
    TSpinEdit* Secs = Form->Secs;
    if (Secs->Value() > RecordSettings::MaxSeconds)
        Secs->setValue(RecordSettings::MaxSeconds);
    if (Secs->Value() < RecordSettings::MinSeconds)
        Secs->setValue(RecordSettings::MinSeconds);
    if (!CheckSettings()) {
        ShowMessage(this, { TMessageKind::mkError, ErrorTitle, "Invalid settings selected!" });
        return;
    }
    if (Form->DirOut->text().isEmpty()) {
        ShowMessage(this,
            { TMessageKind::mkWarning, WarningTitle, "Please select a new mp3 file to record" });
        return;
    }
    if (Recording)
        return;
    Form->RecB->LoadFromFile(SkinPath(SkinFiles::RecButOn));
    MP3Out->SetFileName(Form->DirOut->text().toStdString());
    AudIn->RecTime = Secs->Value();
    AudIn->InSampleRate = Form->SRate->currentText().toInt();
    DisableSettings();
    Recording = true;
    MP3Out->SetBitRate(RecordSettings::BitRateOf(Form->KBS->currentText()));
    Form->State->setText("Record");
    FStartFailed = false;
    MP3Out->Run();
    // Run raised (busy) or reported a failed start: no new run of the window.
    if (!FStartFailed)
        ++FStartedRuns;
}

bool TMain::CheckSettings() const
{
    return ListHolds(*Form->SRate, Form->SRate->currentText())
        && ListHolds(*Form->KBS, Form->KBS->currentText());
}

void TMain::PauseBMouseDown(Qt::MouseButton, int, int)
{
    if (!Recording)
        return;
    if (!Paused) {
        Form->PauseB->LoadFromFile(SkinPath(SkinFiles::PauseButOn));
        Form->RecB->LoadFromFile(SkinPath(SkinFiles::RecBut));
        Paused = true;
        Form->State->setText("Pause");
        MP3Out->Pause();
    } else {
        Form->PauseB->LoadFromFile(SkinPath(SkinFiles::PauseBut));
        Form->RecB->LoadFromFile(SkinPath(SkinFiles::RecButOn));
        Paused = false;
        Form->State->setText("Record");
        MP3Out->Resume();
    }
}

void TMain::StopBMouseDown(Qt::MouseButton, int, int)
{
    Form->StopB->LoadFromFile(SkinPath(SkinFiles::StopButOn));
}

void TMain::StopBMouseUp(Qt::MouseButton, int, int)
{
    Form->StopB->LoadFromFile(SkinPath(SkinFiles::StopBut));
    Form->RecB->LoadFromFile(SkinPath(SkinFiles::RecBut));
    Form->PauseB->LoadFromFile(SkinPath(SkinFiles::PauseBut));
    if (!Recording)
        return;
    MP3Out->Stop();
    // A paused worker sees the stop request only once it goes on.
    if (Paused)
        MP3Out->Resume();
    Form->State->setText("Mp3 Done");
    Paused = false;
    Recording = false;
    Form->Progres->setPosition(0);
    EnableSettings();
}

void TMain::SaveAsClick()
{
    if (!SaveMp3) {
        SaveMp3 = new QFileDialog(this);
        SaveMp3->setObjectName("SaveMp3");
        SetUpSaveMp3(*SaveMp3);
    }
    if (const std::optional<QString> Path = RunSaveDialog(*SaveMp3))
        Form->DirOut->setText(*Path);
}

void TMain::SecNoLimitClick()
{
    Form->Secs->setEnabled(false);
    Form->Secs->setValue(RecordSettings::MaxSeconds);
    Form->Progres->setPosition(100);
}

void TMain::SecCustomClick()
{
    Form->Secs->setEnabled(true);
    Form->Progres->setPosition(0);
}

void TMain::SRateChange(const QString& Text)
{
    // Refilling the list would replace the box's text; it stays as it was.
    const QString Kept = Form->KBS->currentText();
    Form->KBS->clear();
    Form->KBS->addItems(RecordSettings::BitRateList(Text));
    Form->KBS->setEditText(Kept);
}

void TMain::TimTimer()
{
    std::array<double, TSoundIndicator::LevelCount> Levels{};
    SndIndic->TakeLevels(Levels);
    Form->Indicator->setPosition(LevelPosition(Levels[0]));
}

void TMain::MP3OutProgress(TComponent*, int32_t Progress)
{
    if (Form->SecNoLimit->isChecked())
        return;
    Form->Progres->setPosition(Progress);
}

void TMain::MP3OutDone(TComponent*)
{
    ReturnToIdle("MP3 Done");
}

void TMain::MP3OutThreadException(TComponent*, const QString& Reason)
{
    ShowRunError(Reason);
    ReturnToIdle("Error");
}

void TMain::ReturnToIdle(const QString& Status)
{
    Form->RecB->LoadFromFile(SkinPath(SkinFiles::RecBut));
    Form->State->setText(Status);
    Form->Progres->setPosition(0);
    Paused = false;
    Recording = false;
    EnableSettings();
}

void TMain::DisableSettings()
{
    // SRate and SaveAs stay enabled: their values reach the next recording only.
    Form->KBS->setEnabled(false);
    Form->SecCustom->setEnabled(false);
    Form->SecNoLimit->setEnabled(false);
    Form->Secs->setEnabled(false);
}

void TMain::EnableSettings()
{
    Form->KBS->setEnabled(true);
    Form->SecCustom->setEnabled(true);
    Form->SecNoLimit->setEnabled(true);
    Form->Secs->setEnabled(Form->SecCustom->isChecked());
}

void TMain::ShowRunError(const QString& Reason)
{
    ShowMessage(this, { TMessageKind::mkError, ErrorTitle, Reason });
}
