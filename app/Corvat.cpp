#include "Corvat.h"

#include "ComponentRelease.h"
#include "ErrorBox.h"
#include "HandlerGuard.h"
#include "RecordSettings.h"
#include "SkinFiles.h"
#include "SpinEditCore.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

const char* const WarningTitle = "Warning";

// A level as the bar's position: nearest whole number, halves to even, not limited to 0..100
// (only to what the position can hold).
int LevelPosition(double Level)
{
    constexpr double Lowest = std::numeric_limits<int>::min();
    constexpr double Highest = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::nearbyint(Level), Lowest, Highest));
}

bool ListHolds(const std::vector<std::string>& Items, const std::string& Text)
{
    return std::find(Items.begin(), Items.end(), Text) != Items.end();
}

} // namespace

const TSaveDialogSpec TMain::SaveMp3{
    .Title = "Choose folder to save",
    .FilterName = "Mp3 Files",
    .FilterPattern = "*.mp3",
    .DefaultExtension = "mp3",
    .ConfirmOverwrite = true,
    .Resizable = true,
    .Folder = {},
};

TMain::TMain(TMainWindow& Window)
    : FWindow(Window)
{
    FComponentOwner = std::make_unique<TComponent>();
    const TFormComponents Components = CreateFormComponents(*FComponentOwner, SinkEvents());
    AudIn = Components.AudIn;
    SndIndic = Components.SndIndic;
    MP3Out = Components.MP3Out;
    FInput = std::make_unique<TInputChooser>(FWindow, *AudIn);

    FWindow.StartTimer(TimerInterval);
    RunGuarded(FWindow, [this] { FormCreate(); });
}

TMain::~TMain()
{
    FWindow.StopTimer();
    // Destroying the sink during a run would abandon it and leave its file without its end.
    FinishRun(RunEndLeft());
    SaveSettings();
    RunGuarded(FWindow, [this] { FormDestroy(); });
    // A worker that has not ended its run by now (a device that does not answer) is not waited
    // for: the components are left to it, and its reports no longer reach this object.
    FSinkGate->Close();
    ReleaseComponents(std::move(FComponentOwner));
}

std::chrono::milliseconds TMain::RunEndLeft() const
{
    if (!FRunEndDeadline)
        return RunEndLimit;
    const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
        *FRunEndDeadline - std::chrono::steady_clock::now());
    return std::max(Left, std::chrono::milliseconds(0));
}

// ---- The sink's reports

TFormEvents TMain::SinkEvents()
{
    // Posted, never waited for: the GUI thread itself waits for the worker while closing and
    // while the sink is destroyed.
    TFormEvents Events;
    Events.MP3OutDone = [this, Gate = FSinkGate](TComponent* Sender) {
        Gate->Pass([&] {
            const TRunNumber Run = FRuns.ReportRun();
            Post([this, Run, Sender] { SinkDone(Run, Sender); });
            FRuns.Ended(Run);
        });
    };
    Events.MP3OutProgress = [this, Gate = FSinkGate](TComponent* Sender) {
        Gate->Pass([&] {
            // Read now: by the time the GUI thread handles the report the run may have ended.
            const TRunNumber Run = FRuns.ReportRun();
            const int32_t Progress = MP3Out->Progress();
            Post([this, Run, Sender, Progress] { SinkProgress(Run, Sender, Progress); });
        });
    };
    Events.MP3OutThreadException
        = [this, Gate = FSinkGate](TComponent* Sender, const std::exception& E) {
              Gate->Pass([&] { SinkThreadException(Sender, E); });
          };
    return Events;
}

void TMain::SinkThreadException(TComponent* Sender, const std::exception& E)
{
    const TRunNumber Run = FRuns.ReportRun();
    if (Run == TRunLedger::FailedStart) {
        // Raised inside Run on the GUI thread; RecBMouseDown shows it when Run returns.
        FFailedStartReason = E.what();
        return;
    }
    Post([this, Run, Sender, Reason = std::string(E.what())] { SinkFailed(Run, Sender, Reason); });
    FRuns.Ended(Run);
}

void TMain::Post(std::function<void()> Call)
{
    FWindow.Post([Alive = FAliveForPosts, Call = std::move(Call)] {
        if (Alive.lock())
            Call();
    });
}

void TMain::SinkProgress(TRunNumber Run, TComponent* Sender, int32_t Progress)
{
    // Progress of a run the window no longer shows (stopped, or an earlier one) is not shown.
    if (Recording && Run == FRuns.StartedRuns())
        RunGuarded(FWindow, [&] { MP3OutProgress(Sender, Progress); });
}

void TMain::SinkDone(TRunNumber Run, TComponent* Sender)
{
    // The end of an earlier run, arriving after a newer one has started, leaves the newer alone.
    if (Run == FRuns.StartedRuns())
        RunGuarded(FWindow, [&] { MP3OutDone(Sender); });
}

void TMain::SinkFailed(TRunNumber Run, TComponent* Sender, const std::string& Reason)
{
    if (Run == FRuns.StartedRuns())
        RunGuarded(FWindow, [&] { MP3OutThreadException(Sender, Reason); });
    else
        ShowRunError(Reason);
}

bool TMain::AwaitSinkIdle(std::chrono::milliseconds Bound)
{
    return FRuns.AwaitEnd([this] { return MP3Out->Status() == osIdle; }, Bound);
}

// ---- Pictures

std::string TMain::SkinPath(const char* FileName) const
{
    return AppPath + SkinFiles::SkinFolder + FileName;
}

void TMain::LoadPicture(TControl Control, const char* FileName)
{
    // The large buttons' pictures are not kept: each is read again from its file.
    const std::shared_ptr<TPicture> Picture = FWindow.ReadPicture(SkinPath(FileName));
    FWindow.ShowPicture(Control, Picture.get());
}

void TMain::ShowKept(TControl Control, const std::shared_ptr<TPicture>& Picture)
{
    FWindow.ShowPicture(Control, Picture.get());
}

// ---- The window's own events

void TMain::FormCreate()
{
    std::string Folder = FWindow.ApplicationFolder();
    while (!Folder.empty() && (Folder.back() == '/' || Folder.back() == '\\'))
        Folder.pop_back();
    AppPath = Folder + '/';

    ClosePng = FWindow.ReadPicture(SkinPath(SkinFiles::CloseB));
    ClosePngOn = FWindow.ReadPicture(SkinPath(SkinFiles::CloseBOn));
    ShowKept(TControl::CloseB, ClosePng);
    MinPng = FWindow.ReadPicture(SkinPath(SkinFiles::MinB));
    MinPngOn = FWindow.ReadPicture(SkinPath(SkinFiles::MinBOn));
    ShowKept(TControl::MinB, MinPng);
    // The background is read once and not kept.
    LoadPicture(TControl::BackG, SkinFiles::Window);
    LoadPicture(TControl::RecB, SkinFiles::RecBut);
    LoadPicture(TControl::PauseB, SkinFiles::PauseBut);
    LoadPicture(TControl::StopB, SkinFiles::StopBut);
    CanExit = false;
    Dragging = false;
    Paused = false;
    Recording = false;

    RestoreSettings();
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

// ---- Moving the window

void TMain::BackGMouseDown(TMouseButton, int X, int Y)
{
    if (FWindow.StartSystemMove())
        return;
    DragX = X;
    DragY = Y;
    Dragging = true;
}

void TMain::BackGMouseMove(int X, int Y)
{
    if (!Dragging)
        return;
    FWindow.MoveBy(X - DragX, Y - DragY);
}

void TMain::BackGMouseUp(TMouseButton, int, int)
{
    Dragging = false;
}

// ---- Minimise and close

void TMain::MinBMouseDown(TMouseButton, int, int)
{
    ShowKept(TControl::MinB, MinPngOn);
}

void TMain::MinBClick()
{
    FWindow.Minimise();
}

void TMain::MinBMouseUp(TMouseButton, int, int)
{
    ShowKept(TControl::MinB, MinPng);
}

void TMain::CloseBMouseDown(TMouseButton, int, int)
{
    ShowKept(TControl::CloseB, ClosePngOn);
}

void TMain::CloseBClick()
{
    MP3Out->Stop();
    FStopRequestedOnClose = true;
    FRunEndDeadline = std::chrono::steady_clock::now() + RunEndLimit;
    // A paused worker sees the stop request only once it goes on.
    if (Paused)
        ResumeRun();
}

void TMain::CloseBMouseUp(TMouseButton, int, int)
{
    ShowKept(TControl::CloseB, ClosePng);
    if (Recording || Paused) {
        FWindow.StopTimer();
        // The window goes only once the run has ended, so that its file is complete. Without a
        // stop request the run goes on; the window's destruction ends it.
        AwaitSinkIdle(FStopRequestedOnClose ? RunEndLeft() : CloseWait);
    }
    CanExit = true;
    FWindow.Close();
}

// ---- Recording control: the settings, Record, Pause, Stop and the sink's reports.

int TMain::SecsValue() const
{
    return SpinEdit::Value(FWindow.Text(TControl::Secs), RecordSettings::MinSeconds);
}

void TMain::RecBMouseDown(TMouseButton, int, int)
{
    if (SecsValue() > RecordSettings::MaxSeconds)
        FWindow.SetText(TControl::Secs, std::to_string(RecordSettings::MaxSeconds));
    if (SecsValue() < RecordSettings::MinSeconds)
        FWindow.SetText(TControl::Secs, std::to_string(RecordSettings::MinSeconds));
    // The duration typed into the spin box reaches the behaviour here.
    SaveSettings();
    if (!CheckSettings()) {
        FWindow.ShowMessage({ TMessageKind::mkError, ErrorBoxTitle, "Invalid settings selected!" });
        return;
    }
    const std::string OutputFile = FWindow.Text(TControl::DirOut);
    if (OutputFile.empty()) {
        FWindow.ShowMessage(
            { TMessageKind::mkWarning, WarningTitle, "Please select a new mp3 file to record" });
        return;
    }
    if (Recording)
        return;
    const TRunPlan Run = Plan(OutputFile);
    if (!FNotices.RoomConfirmed(Run))
        return;
    // Read before the start, so that a picture that cannot be read starts no run; shown only
    // once the run has started.
    const std::shared_ptr<TPicture> RecordingPicture
        = FWindow.ReadPicture(SkinPath(SkinFiles::RecButOn));
    FInput->Apply();
    MP3Out->SetFileName(OutputFile);
    AudIn->RecTime = SecsValue();
    // CheckSettings has made sure the text is "22050" or "44100".
    AudIn->InSampleRate = std::stoi(FWindow.Text(TControl::SRate));
    MP3Out->SetBitRate(RecordSettings::BitRateOf(FWindow.Text(TControl::KBS)));
    FFailedStartReason.clear();
    // A busy sink raises here: the window stays idle as it was, and the notices stay with the
    // run the sink is still ending.
    const TRunNumber Started = FRuns.Start([this] { MP3Out->Run(); });
    FNotices.Started(Run);
    if (Started == TRunLedger::FailedStart) {
        MP3OutThreadException(MP3Out, FFailedStartReason);
        return;
    }
    // The run's reports are posted, so none is handled before the window shows the run.
    FWindow.ShowPicture(TControl::RecB, RecordingPicture.get());
    ShowRecordingStarted();
}

TRunPlan TMain::Plan(const std::string& OutputFile) const
{
    TRunPlan Run;
    Run.FileName = OutputFile;
    Run.Seconds = SecsValue();
    Run.KbitPerSecond = std::stoi(FWindow.Text(TControl::KBS));
    Run.SampleRate = std::stoi(FWindow.Text(TControl::SRate));
    Run.NoLimit = FWindow.Checked(TControl::SecNoLimit);
    return Run;
}

bool TMain::CheckSettings() const
{
    return ListHolds(FWindow.Items(TControl::SRate), FWindow.Text(TControl::SRate))
        && ListHolds(FWindow.Items(TControl::KBS), FWindow.Text(TControl::KBS));
}

void TMain::PauseBMouseDown(TMouseButton, int, int)
{
    if (!Recording)
        return;
    if (!Paused) {
        LoadPicture(TControl::PauseB, SkinFiles::PauseButOn);
        LoadPicture(TControl::RecB, SkinFiles::RecBut);
        Paused = true;
        ShowStatus("Pause");
        PauseRun();
    } else {
        LoadPicture(TControl::PauseB, SkinFiles::PauseBut);
        LoadPicture(TControl::RecB, SkinFiles::RecButOn);
        Paused = false;
        ShowStatus("Record");
        ResumeRun();
    }
}

void TMain::StopBMouseDown(TMouseButton, int, int)
{
    LoadPicture(TControl::StopB, SkinFiles::StopButOn);
}

void TMain::StopBMouseUp(TMouseButton, int, int)
{
    LoadPicture(TControl::StopB, SkinFiles::StopBut);
    LoadPicture(TControl::RecB, SkinFiles::RecBut);
    LoadPicture(TControl::PauseB, SkinFiles::PauseBut);
    if (!Recording)
        return;
    MP3Out->Stop();
    // A paused worker sees the stop request only once it goes on.
    if (Paused)
        ResumeRun();
    ShowIdle(FNotices.EndStatus("Mp3 Done", AudIn->Losses(), SndIndic->Clips()));
}

void TMain::TimTimer()
{
    std::array<double, TSoundIndicator::LevelCount> Levels{};
    SndIndic->TakeLevels(Levels);
    FWindow.SetPosition(TControl::Indicator, LevelPosition(Levels[0]));
    FNotices.Tick(AudIn->Losses(), SndIndic->Clips(), Recording, Paused);
}

void TMain::MP3OutProgress(TComponent*, int32_t Progress)
{
    if (FWindow.Checked(TControl::SecNoLimit))
        return;
    FWindow.SetPosition(TControl::Progres, Progress);
}

void TMain::MP3OutDone(TComponent*)
{
    ReturnToIdle(FNotices.EndStatus("MP3 Done", AudIn->Losses(), SndIndic->Clips()));
}

void TMain::MP3OutThreadException(TComponent*, const std::string& Reason)
{
    ShowRunError(Reason);
    FNotices.Failed(SndIndic->Clips());
    ReturnToIdle("Error");
}

// ---- The looks of the recording states

void TMain::ShowStatus(const std::string& Status)
{
    FWindow.SetText(TControl::State, Status);
}

void TMain::ShowRecordingStarted()
{
    DisableSettings();
    Recording = true;
    ShowStatus("Record");
}

void TMain::ReturnToIdle(const std::string& Status)
{
    LoadPicture(TControl::RecB, SkinFiles::RecBut);
    // A report that crossed a Pause press ends a run the window shows as paused; an idle window
    // shows the pause button released.
    if (Paused)
        LoadPicture(TControl::PauseB, SkinFiles::PauseBut);
    ShowIdle(Status);
}

void TMain::ShowIdle(const std::string& Status)
{
    ShowStatus(Status);
    FWindow.SetPosition(TControl::Progres, 0);
    Paused = false;
    Recording = false;
    EnableSettings();
}

void TMain::DisableSettings()
{
    // SRate and SaveAs stay enabled: their values reach the next recording only.
    for (TControl Control :
        { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit, TControl::LabDev })
        FWindow.SetEnabled(Control, false);
    FWindow.SetEnabled(TControl::Secs, false);
}

void TMain::EnableSettings()
{
    for (TControl Control :
        { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit, TControl::LabDev })
        FWindow.SetEnabled(Control, true);
    FWindow.SetEnabled(TControl::Secs, FWindow.Checked(TControl::SecCustom));
}

void TMain::ShowRunError(const std::string& Reason)
{
    FWindow.ShowMessage({ TMessageKind::mkError, ErrorBoxTitle, Reason });
}
