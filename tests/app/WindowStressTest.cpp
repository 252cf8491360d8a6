// Random sequences of the user's events and of injected faults on the window's behaviour, with
// the simulated sound card and the real encoder: after every event the window shows the look of
// its recording state, every file a run finished decodes to the sound the run captured, a file
// that existed before a start that failed is unchanged, and no event hangs (a watchdog ends the
// process with the seed and the event). The seeds are fixed; a failure names its seed, so that
// the sequence can be run again. CORVATONE_STRESS_EVENTS sets the events per seed (CI runs a
// long sequence under the sanitizers).
#include "Mp3Check.h"
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

// Ends the process when an event does not finish within EventBound: a hang never ends a test.
class TWatchdog {
public:
    TWatchdog()
        : FThread([this] { Watch(); })
    {
    }
    ~TWatchdog()
    {
        {
            std::lock_guard Lock(FMutex);
            FQuit = true;
        }
        FChanged.notify_all();
        FThread.join();
    }
    // The event now under way; each call restarts the bound.
    void Event(const std::string& What)
    {
        std::lock_guard Lock(FMutex);
        FWhat = What;
        FDeadline = std::chrono::steady_clock::now() + EventBound;
        FChanged.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock Lock(FMutex);
        while (!FQuit) {
            if (FDeadline != std::chrono::steady_clock::time_point{}
                && std::chrono::steady_clock::now() > FDeadline) {
                std::cerr << "Hung for " << EventBound.count() << " s in " << FWhat << std::endl;
                std::abort();
            }
            FChanged.wait_for(Lock, std::chrono::seconds(1));
        }
    }

    std::mutex FMutex;
    std::condition_variable FChanged;
    std::string FWhat;
    std::chrono::steady_clock::time_point FDeadline{};
    bool FQuit = false;
    std::thread FThread;
};

class WindowStress : public TWindowTest, public testing::WithParamInterface<uint32_t> {
protected:
    enum TEvent {
        evRecord,
        evPause,
        evStop,
        evTick,
        evSaveGood,
        evSaveMissingFolder,
        evSaveDiskFull,
        evSaveCancel,
        evNoLimit,
        evCustom,
        evSecs,
        evSampleRate,
        evBitRate,
        evFaultRefusesOpen,
        evFaultDeviceLost,
        evFaultSlow,
        evFaultNone,
        evWait,
        evEventCount
    };

    void RunSequence(uint32_t Seed, int Events)
    {
        Random.seed(Seed);
        Open();
        WatchRunEnds();
        ChooseFile(FilePath("take0.mp3"));
        TWatchdog Watchdog;
        for (int Index = 0; Index < Events && !HasFailure(); ++Index) {
            const auto Event = PickEvent();
            const std::string What = "seed " + std::to_string(Seed) + ", event "
                + std::to_string(Index) + " (" + Name(Event) + ")";
            SCOPED_TRACE(What);
            Watchdog.Event(What);
            Apply(Event);
            Window->Pump();
            CheckLook();
            CheckFinishedFiles();
            Window->Messages.clear();
        }
        // The sequence ends as a user does: stop and wait for the run's end.
        Watchdog.Event("seed " + std::to_string(Seed) + ", the end");
        ClickStop();
        EXPECT_TRUE(Window->PumpUntil([&] { return Sink().Status() == osIdle; }));
        Window->Pump();
        CheckLook();
        CheckFinishedFiles();
    }

    // The sink's done report, raised on its worker once the run's file is closed: the bytes the
    // source captured for that run. A Record press may start the source anew and reset its count,
    // so a count read while a press was under way is not kept. The sink's runs end on this one
    // worker in the order they started, so the run is the one after those that ended before.
    void WatchRunEnds()
    {
        TOutputDoneEvent WindowHandler = Sink().OnDone;
        Sink().OnDone = [this, WindowHandler](TComponent* Sender) {
            const uint64_t Run = TMainTestAccess::EndedRuns(Main()) + 1;
            const uint64_t Epoch = FPressEpoch.load();
            const bool PressBefore = FInPress.load();
            const int64_t Bytes = Source().Position.load();
            const bool Overlapped = PressBefore || FInPress.load() || Epoch != FPressEpoch.load();
            if (!Overlapped) {
                std::lock_guard Lock(FEndMutex);
                FEndBytes[Run] = Bytes;
            }
            WindowHandler(Sender);
        };
    }

    int Pick(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(Random); }

    // The presses come more often than the settings, and a setting that refuses the next start
    // (an unlisted rate, a missing folder) less often than a good one, so that runs start, pause,
    // stop, end and fail throughout the sequence.
    TEvent PickEvent()
    {
        static constexpr int Weights[evEventCount]
            = { 8, 4, 4, 3, 3, 1, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 3, 4 };
        std::discrete_distribution<int> Distribution(std::begin(Weights), std::end(Weights));
        return static_cast<TEvent>(Distribution(Random));
    }

    static const char* Name(TEvent Event)
    {
        static const char* const Names[] = { "Record", "Pause", "Stop", "Tick", "Save as",
            "Save as in a missing folder", "Save as on a full disk", "Save as cancelled",
            "No limit", "Custom", "Seconds", "Sample rate", "Bit rate", "Device refuses to open",
            "Device lost", "Slow device", "No fault", "Wait for the run" };
        return Names[Event];
    }

    void Apply(TEvent Event)
    {
        switch (Event) {
        case evRecord:
            Record();
            break;
        case evPause: {
            const bool WasRecording = TMainTestAccess::Recording(Main());
            const bool WasPaused = TMainTestAccess::Paused(Main());
            PressPause();
            if (WasRecording) {
                EXPECT_NE(TMainTestAccess::Paused(Main()), WasPaused);
            }
            break;
        }
        case evStop: {
            const bool WasRecording = TMainTestAccess::Recording(Main());
            ClickStop();
            EXPECT_FALSE(TMainTestAccess::Recording(Main()));
            if (WasRecording) {
                EXPECT_EQ(Status(), "Mp3 Done");
            }
            break;
        }
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
            static const char* const Texts[] = { "5", "6", "5", "0", "20000", "x" };
            // Drawn whatever happens next, so that the sequence of draws depends on the seed only.
            const char* Text = Texts[Pick(6)];
            if ((*Window)[TControl::Secs].Enabled)
                (*Window)[TControl::Secs].Text = Text;
            break;
        }
        case evSampleRate: {
            static const char* const Texts[] = { "44100", "22050", "44100", "22050", "48000" };
            const std::string Text = Texts[Pick(5)];
            (*Window)[TControl::SRate].Text = Text;
            Window->Handle([&](TMain& Main) { Main.SRateChange(Text); });
            break;
        }
        case evBitRate: {
            static const char* const Texts[] = { "128", "64", "96", "160", "320", "100" };
            const char* Text = Texts[Pick(6)];
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
        case evFaultNone:
            Card->SetFaults({});
            break;
        case evWait:
            // Lets a short run end by itself (or by its fault) before the next event.
            Window->PumpUntil(
                [&] { return !TMainTestAccess::Recording(Main()); }, std::chrono::seconds(2));
            break;
        case evEventCount:
            break;
        }
    }

    // Record: a refused start changes nothing of the user's; a file that existed before a start
    // that fails is unchanged.
    void Record()
    {
        const bool WasRecording = TMainTestAccess::Recording(Main());
        const bool SinkWasIdle = Sink().Status() == osIdle;
        const std::string File = (*Window)[TControl::DirOut].Text;
        const bool Existed = !File.empty() && fs::is_regular_file(File);
        const std::string Before = Existed ? FileBytes(File) : std::string();
        const size_t ErrorsBefore = Window->Errors.size();
        const uint64_t StartedBefore = TMainTestAccess::StartedRuns(Main());
        FInPress = true;
        ++FPressEpoch;
        PressRecord();
        ++FPressEpoch;
        FInPress = false;
        const uint64_t Started = TMainTestAccess::StartedRuns(Main());
        if (Started != StartedBefore)
            FStarted[Started] = { File, Source().InSampleRate };
        if (!Window->Messages.empty()
            && (Window->Messages.back().Text == "Invalid settings selected!"
                || Window->Messages.back().Kind == TMessageKind::mkWarning)) {
            EXPECT_EQ(TMainTestAccess::Recording(Main()), WasRecording) << "a refused press";
            return;
        }
        const bool Failed = Status() == "Error";
        if (Failed && Existed) {
            EXPECT_EQ(FileBytes(File), Before) << "a start that failed changed " << File;
        }
        if (!WasRecording && SinkWasIdle && !Failed) {
            EXPECT_TRUE(TMainTestAccess::Recording(Main()));
        }
        // A press while the sink still ends a run is refused with its busy error; it may change
        // the sink's file name and the source's rate, not that run's. Any other press of an idle
        // window that leaves it recording has started a run.
        FailedStarts += Failed;
        const bool Refused = Window->Errors.size() > ErrorsBefore;
        if (!WasRecording && !Refused && TMainTestAccess::Recording(Main())) {
            ++RunsStarted;
        }
        for (size_t E = ErrorsBefore; E < Window->Errors.size(); ++E)
            EXPECT_EQ(Window->Errors[E], "Component is buisy") << "only a stopping run refuses";
        Window->Errors.resize(ErrorsBefore);
    }

    // The look of the window's recording state, as its state table gives it: the pictures of the
    // large buttons, the status text and the settings that may be changed.
    void CheckLook()
    {
        const bool Recording = TMainTestAccess::Recording(Main());
        const bool Paused = TMainTestAccess::Paused(Main());
        const std::string Text = Status();
        if (Recording) {
            EXPECT_EQ(Text, Paused ? "Pause" : "Record");
            EXPECT_TRUE(Shows(TControl::RecB, Paused ? SkinFiles::RecBut : SkinFiles::RecButOn));
            EXPECT_TRUE(
                Shows(TControl::PauseB, Paused ? SkinFiles::PauseButOn : SkinFiles::PauseBut));
        } else {
            EXPECT_FALSE(Paused);
            EXPECT_TRUE(
                Text == "Status" || Text == "Mp3 Done" || Text == "MP3 Done" || Text == "Error")
                << Text;
            EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecBut));
            EXPECT_TRUE(Shows(TControl::PauseB, SkinFiles::PauseBut));
        }
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
    // Counts of finished runs, from the sink's worker.
    std::mutex FEndMutex;
    std::map<uint64_t, int64_t> FEndBytes;
    // A Record press is under way; the epoch changes at its start and its end.
    std::atomic<bool> FInPress{ false };
    std::atomic<uint64_t> FPressEpoch{ 0 };
    int FilesChecked = 0;
    int RunsStarted = 0;
    int FailedStarts = 0;
};

TEST_P(WindowStress, RandomEventsKeepTheWindowTheFilesAndTheRunsSound)
{
    const int Events = EventsPerSeed();
    RunSequence(GetParam(), Events);
    std::cout << "Seed " << GetParam() << ": " << Events << " events, " << RunsStarted
              << " runs started, " << FailedStarts << " starts failed, " << FilesChecked
              << " finished files decoded" << std::endl;
}

INSTANTIATE_TEST_SUITE_P(Seeds, WindowStress, testing::Values(1u, 2u, 3u, 20261208u),
    [](const testing::TestParamInfo<uint32_t>& Info) {
        return "Seed" + std::to_string(Info.param);
    });

} // namespace
