// Random sequences of the user's events and of injected faults on the window's behaviour, with
// the simulated sound card and the real encoder: after every event the window shows the look of
// its recording state, every file a run finished decodes to the sound the run captured, a file
// that existed before a start that failed is unchanged, and no event hangs (a watchdog ends the
// process with the seed and the event). The seeds are fixed; a failure names its seed, so that
// the sequence can be run again. CORVATONE_STRESS_EVENTS sets the events per seed (CI runs a
// long sequence under the sanitizers). Runs are mostly a few seconds of sound, which the card
// delivers flat out, and the ends of runs are awaited as events (never slept for), so that a
// sequence starts dozens of runs; each seed prints how many.
#include "ComponentRelease.h"
#include "Mp3Check.h"
#include "WindowStressModel.h"
#include "WindowTestSupport.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr int64_t EncoderDelay = 576 + 529;
constexpr int64_t DelayAndPaddingBound = 3 * 1152;
// The longest any one event (with the reports it causes) may take before the test is taken for
// hung: far above what an event needs, below the CTest timeout.
constexpr std::chrono::seconds EventBound{ 120 };
// Beyond RunEndLimit, what a close may take to release the window and hand the pipeline over.
constexpr std::chrono::seconds CloseMargin{ 2 };
// A run up to this long (in seconds of sound) ends by itself soon on the flat-out card.
constexpr int32_t ShortRun = 60;
// The source's wait for a stalled device during the sequence, far above what a flat-out buffer
// takes to fill.
constexpr std::chrono::milliseconds SequenceStallTimeout{ 1000 };

int EventsPerSeed()
{
    const char* Text = std::getenv("CORVATONE_STRESS_EVENTS");
    const int Events = Text ? std::atoi(Text) : 0;
    return Events > 0 ? Events : 200;
}

std::string FileBytes(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return { std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>() };
}

class WindowStress : public TWindowTest, public testing::WithParamInterface<uint32_t> {
protected:
    using TEvent = TStressEvent;

    void RunSequence(uint32_t Seed, int Events)
    {
        Random.seed(Seed);
        Open();
        WatchRunEnds();
        // A stalled device fails its run sooner, so that the sequence spends its time on runs.
        const std::chrono::milliseconds StallTimeout = Source().StallTimeout;
        Source().StallTimeout = SequenceStallTimeout;
        ChooseFile(FilePath("take0.mp3"));
        Window->Select(TControl::SecCustom);
        (*Window)[TControl::Secs].Text = "5";
        TWatchdog Watchdog(EventBound);
        for (int Index = 0; Index < Events && !HasFailure(); ++Index) {
            const TEvent Event = PickStressEvent(Random);
            const std::string What = "seed " + std::to_string(Seed) + ", event "
                + std::to_string(Index) + " (" + StressEventName(Event) + ")";
            SCOPED_TRACE(What);
            Watchdog.Event(What);
            Apply(Event);
            PumpReports();
            CheckLook();
            CheckFinishedFiles();
            Window->Messages.clear();
        }
        // The sequence ends as a user does: stop and wait for the run's end.
        Watchdog.Event("seed " + std::to_string(Seed) + ", the end");
        ClickStop();
        Model.StopClicked();
        EXPECT_TRUE(AwaitRunEnds(TestSupport::FailAfter)) << "the last run never ended";
        PumpReports();
        CheckLook();
        CheckFinishedFiles();
        // The close meets the device's own timeout; the source is idle, so it may change.
        Source().StallTimeout = StallTimeout;
        Watchdog.Event("seed " + std::to_string(Seed) + ", the close");
        CloseWhileTheCardFails(Seed % 2 ? HangingCard() : StallingCard());
    }

    // The sink's ends of runs, seen on its worker around the window's own handlers: the k-th end
    // is run k's (runs end in the order they start), with the bytes the source captured for it.
    // A Record press may start the source anew and reset its count, so a count read while a
    // press was under way is not kept. A report raised on this thread (inside the sink's Run)
    // is a start that failed, not an end.
    void WatchRunEnds()
    {
        TestThread = std::this_thread::get_id();
        // The pipeline may outlive the window (a close while the card hangs).
        TAudioIn* RunSource = &Source();
        TOutputDoneEvent WindowDone = Sink().OnDone;
        Sink().OnDone = [this, WindowDone, RunSource](TComponent* Sender) {
            const uint64_t Epoch = FPressEpoch.load();
            const bool PressBefore = FInPress.load();
            const int64_t Bytes = RunSource->Position.load();
            const bool Overlapped = PressBefore || FInPress.load() || Epoch != FPressEpoch.load();
            std::lock_guard Lock(FEndMutex);
            // Counted after the window has queued its call, under the lock that PumpReports
            // holds: the window never handles an end the model has not counted.
            WindowDone(Sender);
            FEndFailed.push_back(false);
            if (!Overlapped)
                FEndBytes[FEndFailed.size()] = Bytes;
            FEnded.notify_all();
        };
        TThreadExceptionEvent WindowFailed = Sink().OnThreadException;
        Sink().OnThreadException
            = [this, WindowFailed](TComponent* Sender, const std::exception& E) {
                  if (std::this_thread::get_id() == TestThread) {
                      FStartFailed = true;
                      WindowFailed(Sender, E);
                      return;
                  }
                  std::lock_guard Lock(FEndMutex);
                  WindowFailed(Sender, E);
                  FEndFailed.push_back(true);
                  FEnded.notify_all();
              };
    }

    // Handles what the window has queued and gives the model the ends of runs queued with it.
    void PumpReports()
    {
        std::lock_guard Lock(FEndMutex);
        Window->Pump();
        for (uint64_t Run = Model.EndedRuns() + 1; Run <= FEndFailed.size(); ++Run)
            Model.RunEnded(Run, FEndFailed[Run - 1]);
    }

    // Waits (at most Bound) until the sink has reported the end of every run that started.
    bool AwaitRunEnds(std::chrono::milliseconds Bound)
    {
        std::unique_lock Lock(FEndMutex);
        return FEnded.wait_for(
            Lock, Bound, [&] { return FEndFailed.size() >= Model.StartedRuns(); });
    }

    // Every run ends by itself: none is paused, and the one recording (if any) records a few
    // seconds of sound, which the card delivers flat out in a fraction of a second.
    bool RunsEndByThemselves() const
    {
        const TRecordingModel::TState State = Model.State();
        return State == TRecordingModel::TState::Idle
            || (State == TRecordingModel::TState::Recording && FLatestRunSeconds <= ShortRun);
    }

    // Waits for the end of every run and lets the window handle it, when they end by
    // themselves; otherwise a wait would only be a sleep.
    void AwaitRunsThatEnd()
    {
        if (!RunsEndByThemselves())
            return;
        EXPECT_TRUE(AwaitRunEnds(TestSupport::FailAfter)) << "a run that ends by itself did not";
        PumpReports();
    }

    // The close button while a run records from a card that hangs or stalls, with the
    // device's and the window's own timeouts: the window is gone within RunEndLimit and a margin
    // whatever the device does, and the pipeline left behind ends by itself.
    void CloseWhileTheCardFails(const TSimulatedFaults& Faults)
    {
        Card->SetFaults(Faults);
        ChooseFile(FilePath("close.mp3"));
        if ((*Window)[TControl::SecNoLimit].Enabled)
            Window->Select(TControl::SecNoLimit);
        (*Window)[TControl::SRate].Text = "44100";
        Window->Handle([](TMain& Main) { Main.SRateChange("44100"); });
        (*Window)[TControl::KBS].Text = "128";
        PressRecord();
        ASSERT_EQ(Status(), "Record") << "the run before the close did not start";
        const auto Start = std::chrono::steady_clock::now();
        ClickClose();
        Window->Destroy();
        const auto Took = std::chrono::steady_clock::now() - Start;
        EXPECT_TRUE(Window->Closed);
        EXPECT_LE(Took, TMain::RunEndLimit + CloseMargin)
            << "the close blocked for "
            << std::chrono::duration_cast<std::chrono::milliseconds>(Took).count() << " ms";
        EXPECT_TRUE(AwaitComponentReleases(TestSupport::FailAfter)) << "the pipeline never ended";
        EXPECT_EQ(Card->OpenDevices(), 0);
    }
    TSimulatedFaults HangingCard()
    {
        TSimulatedFaults Faults;
        Faults.HangAfter = Pick(4);
        return Faults;
    }
    TSimulatedFaults StallingCard()
    {
        TSimulatedFaults Faults;
        Faults.StallAfter = Pick(4);
        return Faults;
    }

    int Pick(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(Random); }

    void Apply(TEvent Event)
    {
        switch (Event) {
        case evRecord:
            Record();
            break;
        case evPause:
            PressPause();
            Model.PausePressed();
            break;
        case evStop:
            ClickStop();
            Model.StopClicked();
            break;
        case evTick:
            Tick();
            break;
        case evSaveGood:
            ChooseFile(FilePath(("take" + std::to_string(Pick(4)) + ".mp3").c_str()));
            break;
        case evSaveMissingFolder:
            ChooseFile(FilePath("no-such-folder/take.mp3"));
            break;
        case evSaveDiskFull:
            ChooseFile("/dev/full");
            break;
        case evSaveCancel:
            Window->Handle([](TMain& Main) { Main.SaveAsClick(); });
            break;
        // A user changes only the settings that are enabled.
        case evNoLimit:
            if ((*Window)[TControl::SecNoLimit].Enabled)
                Window->Select(TControl::SecNoLimit);
            break;
        case evCustom:
            if ((*Window)[TControl::SecCustom].Enabled)
                Window->Select(TControl::SecCustom);
            break;
        case evSecs: {
            // Short runs (the shortest is 5 s), so that the sequence starts dozens; the limits
            // now and then.
            static const char* const Texts[] = { "5", "6", "5", "1", "20000", "x" };
            // Drawn whatever happens next, so that the sequence of draws depends on the seed only.
            const char* Text = Texts[Pick(6)];
            if ((*Window)[TControl::Secs].Enabled)
                (*Window)[TControl::Secs].Text = Text;
            break;
        }
        case evSampleRate: {
            static const char* const Texts[]
                = { "44100", "22050", "44100", "22050", "44100", "22050", "44100", "48000" };
            const std::string Text = Texts[Pick(8)];
            (*Window)[TControl::SRate].Text = Text;
            Window->Handle([&](TMain& Main) { Main.SRateChange(Text); });
            break;
        }
        case evBitRate: {
            static const char* const Texts[]
                = { "128", "64", "96", "160", "320", "144", "256", "100" };
            const char* Text = Texts[Pick(8)];
            if ((*Window)[TControl::KBS].Enabled)
                (*Window)[TControl::KBS].Text = Text;
            break;
        }
        case evFaultRefusesOpen: {
            TSimulatedFaults Faults;
            Faults.OpenError = "Device or resource busy";
            Card->SetFaults(Faults);
            break;
        }
        case evFaultDeviceLost: {
            TSimulatedFaults Faults;
            Faults.FailAfter = 1 + Pick(8);
            Faults.FailError = "the card was unplugged";
            Card->SetFaults(Faults);
            break;
        }
        case evFaultSlow: {
            TSimulatedFaults Faults;
            Faults.BufferDelay = std::chrono::milliseconds(5);
            Card->SetFaults(Faults);
            break;
        }
        case evFaultStall: {
            TSimulatedFaults Faults;
            Faults.StallAfter = Pick(8);
            Card->SetFaults(Faults);
            break;
        }
        case evFaultNone:
            Card->SetFaults({});
            break;
        case evWait:
            AwaitRunsThatEnd();
            break;
        case evNextRun:
            // A user who wants the next take stops a run that would not end soon.
            if (!RunsEndByThemselves())
                Apply(evStop);
            AwaitRunsThatEnd();
            Record();
            break;
        case evEventCount:
            break;
        }
    }

    // Record: a press while a run is under way does nothing; an invalid setting or no file is
    // refused with a box; a press while the sink still ends a stopped run is refused with its
    // busy error; else a run starts, or fails at its start and leaves a file that existed before
    // unchanged.
    void Record()
    {
        const std::string File = (*Window)[TControl::DirOut].Text;
        const bool Existed = !File.empty() && fs::is_regular_file(File);
        const std::string Before = Existed ? FileBytes(File) : std::string();
        const size_t ErrorsBefore = Window->Errors.size();
        const size_t MessagesBefore = Window->Messages.size();
        FStartFailed = false;
        FInPress = true;
        ++FPressEpoch;
        PressRecord();
        ++FPressEpoch;
        FInPress = false;
        const bool Refused = Window->Messages.size() > MessagesBefore
            && (Window->Messages.back().Text == "Invalid settings selected!"
                || Window->Messages.back().Kind == TMessageKind::mkWarning);
        const bool Busy = Window->Errors.size() > ErrorsBefore;
        for (size_t E = ErrorsBefore; E < Window->Errors.size(); ++E)
            EXPECT_EQ(Window->Errors[E], "Component is buisy") << "only a stopping run refuses";
        Window->Errors.resize(ErrorsBefore);
        if (Refused && Window->Messages.back().Text == "Invalid settings selected!")
            CorrectSettings();
        if (Model.State() != TRecordingModel::TState::Idle || Refused)
            return;
        // An injected fault is the next run's only: the device takes it when the run opens it.
        Card->SetFaults({});
        if (Busy) {
            EXPECT_TRUE(Model.RunPending()) << "a busy refusal with no run ending";
            Model.RefusedBusy();
        } else if (FStartFailed) {
            Model.StartFailed();
            ++FailedStarts;
            if (Existed) {
                EXPECT_EQ(FileBytes(File), Before) << "a start that failed changed " << File;
            }
            // What a user does after the box: a file in a folder that exists.
            if (!fs::is_directory(fs::path(File).parent_path()))
                ChooseFile(FilePath("take0.mp3"));
        } else {
            FStarted[Model.Started()] = { File, Source().InSampleRate };
            FLatestRunSeconds = Source().RecTime;
        }
    }

    // What a user does after the invalid settings' box: picks a listed rate and bit rate.
    void CorrectSettings()
    {
        (*Window)[TControl::SRate].Text = "44100";
        Window->Handle([](TMain& Main) { Main.SRateChange("44100"); });
        if ((*Window)[TControl::KBS].Enabled)
            (*Window)[TControl::KBS].Text = "128";
    }

    // The look of the model's recording state: the pictures of the large buttons, the status
    // text and the settings that may be changed.
    void CheckLook()
    {
        const TRecordingModel::TState State = Model.State();
        const bool Recording = State != TRecordingModel::TState::Idle;
        const bool Paused = State == TRecordingModel::TState::Paused;
        EXPECT_EQ(Status(), Model.Status());
        EXPECT_TRUE(
            Shows(TControl::RecB, Recording && !Paused ? SkinFiles::RecButOn : SkinFiles::RecBut));
        EXPECT_TRUE(Shows(TControl::PauseB, Paused ? SkinFiles::PauseButOn : SkinFiles::PauseBut));
        for (TControl Control : { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit })
            EXPECT_EQ((*Window)[Control].Enabled, !Recording) << ControlName(Control);
        EXPECT_EQ((*Window)[TControl::Secs].Enabled,
            !Recording && (*Window)[TControl::SecCustom].Checked);
        EXPECT_TRUE((*Window)[TControl::SRate].Enabled);
        EXPECT_TRUE((*Window)[TControl::SaveAs].Enabled);
        EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopBut));
        EXPECT_TRUE(Window->Errors.empty()) << Window->Errors.front();
    }

    // Every run that finished (its done report came) left a file of exactly the sound it captured,
    // unless a later run into the same file has begun to replace it.
    void CheckFinishedFiles()
    {
        std::map<uint64_t, int64_t> Ends;
        {
            std::lock_guard Lock(FEndMutex);
            Ends.swap(FEndBytes);
        }
        for (const auto& [Run, Bytes] : Ends) {
            const auto Start = FStarted.find(Run);
            ASSERT_TRUE(Start != FStarted.end()) << "run " << Run << " ended without a start";
            const TStartedRun Take = Start->second;
            FStarted.erase(FStarted.begin(), std::next(Start));
            bool Replaced = false;
            for (const auto& Later : FStarted)
                Replaced = Replaced || Later.second.File == Take.File;
            // A run into /dev/full that wrote nothing finishes; there is no file to decode.
            if (!Replaced && fs::is_regular_file(Take.File))
                CheckFile(Take, Bytes);
        }
    }

    struct TStartedRun {
        std::string File;
        int32_t Rate = 0;
    };

    void CheckFile(const TStartedRun& Take, int64_t Bytes)
    {
        const std::string& File = Take.File;
        if (Bytes == 0) {
            // Stopped before its first block: the file holds at most the encoder's last frames.
            EXPECT_LE(fs::file_size(File), 4096u) << File;
            return;
        }
        const TMp3Decoded Decoded = DecodeMp3File(File);
        ASSERT_TRUE(Decoded.Ok) << File << ": " << Decoded.Error << " (" << Bytes
                                << " bytes captured, " << fs::file_size(File) << " bytes of file)";
        // The file keeps the sample rate recorded at, at every bit rate.
        ASSERT_EQ(Decoded.SampleRate, Take.Rate) << File;
        const int64_t Captured = Bytes / 4;
        EXPECT_GE(Decoded.Frames, Captured + EncoderDelay) << File;
        EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound) << File;
        ++FilesChecked;
    }

    std::mt19937 Random;
    // The runs that started and have not been checked, by their number; test thread.
    std::map<uint64_t, TStartedRun> FStarted;
    TRecordingModel Model;
    std::thread::id TestThread;
    // The sink's reports: whether each run that ended failed, and the bytes captured for the
    // runs that finished; from the sink's worker. FStartFailed: raised inside the sink's Run.
    std::mutex FEndMutex;
    std::condition_variable FEnded;
    std::vector<bool> FEndFailed;
    std::map<uint64_t, int64_t> FEndBytes;
    std::atomic<bool> FStartFailed{ false };
    // A Record press is under way; the epoch changes at its start and its end.
    std::atomic<bool> FInPress{ false };
    std::atomic<uint64_t> FPressEpoch{ 0 };
    // The duration of the run started last.
    int32_t FLatestRunSeconds = 0;
    int FilesChecked = 0;
    int FailedStarts = 0;
};

TEST_P(WindowStress, RandomEventsKeepTheWindowTheFilesAndTheRunsSound)
{
    const int Events = EventsPerSeed();
    RunSequence(GetParam(), Events);
    std::cout << "Seed " << GetParam() << ": " << Events << " events, " << Model.StartedRuns()
              << " runs started, " << Model.EndedRuns() << " ended, " << FailedStarts
              << " starts failed, " << Model.BusyRefusals() << " refused as busy, " << FilesChecked
              << " finished files decoded" << std::endl;
    // A sequence that starts few runs tries little of what runs meet. The seeds start 28 to 39
    // runs in 200 events; the bound leaves room for the presses that meet a stopped run still
    // ending, which depend on timing.
    EXPECT_GE(Model.StartedRuns() * 10, uint64_t(Events))
        << Model.StartedRuns() << " runs started in " << Events << " events";
}

INSTANTIATE_TEST_SUITE_P(Seeds, WindowStress, testing::Values(1u, 2u, 3u, 20261208u),
    [](const testing::TestParamInfo<uint32_t>& Info) {
        return "Seed" + std::to_string(Info.param);
    });

} // namespace
