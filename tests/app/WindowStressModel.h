// What the window stress test keeps of its own: the events it draws, the recording state table as
// the user meets it, driven by the presses the test makes and by the sink's run ends the test sees
// on the sink's worker, never by the window's flags; and a watchdog that ends a hung sequence.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>

// The user's events and the injected faults of a sequence.
enum TStressEvent {
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
    evFaultStall,
    evFaultNone,
    evWait,
    evNextRun,
    evEventCount
};

// Each event's name, for a failure's message, and the weight it is drawn with. The presses come
// more often than the settings, and a setting that refuses the next start (an unlisted rate, a
// missing folder) less often than a good one, so that runs start, pause, stop, end and fail
// throughout the sequence. Most Record presses follow the end of the run before (Next run), so
// that a sequence starts dozens of runs; the others meet a run under way or one that a Stop
// still ends.
struct TStressEventKind {
    const char* Name;
    int Weight;
};
inline constexpr TStressEventKind StressEvents[evEventCount] = { { "Record", 8 }, { "Pause", 3 },
    { "Stop", 5 }, { "Tick", 2 }, { "Save as", 3 }, { "Save as in a missing folder", 1 },
    { "Save as on a full disk", 1 }, { "Save as cancelled", 1 }, { "No limit", 1 }, { "Custom", 3 },
    { "Seconds", 3 }, { "Sample rate", 2 }, { "Bit rate", 2 }, { "Device refuses to open", 1 },
    { "Device lost", 1 }, { "Slow device", 1 }, { "Stalled device", 1 }, { "No fault", 1 },
    { "Wait for the run", 3 },
    { "Next run (Stop unless the run ends soon, wait for its end, Record)", 10 } };

inline const char* StressEventName(TStressEvent Event)
{
    return StressEvents[Event].Name;
}

// The next event; the draws depend on Random alone.
inline TStressEvent PickStressEvent(std::mt19937& Random)
{
    int Weights[evEventCount];
    for (int Event = 0; Event < evEventCount; ++Event)
        Weights[Event] = StressEvents[Event].Weight;
    std::discrete_distribution<int> Distribution(std::begin(Weights), std::end(Weights));
    return static_cast<TStressEvent>(Distribution(Random));
}

// The window's recording state: idle (perhaps with a stopped run still ending in the sink),
// recording or paused. Runs are numbered 1, 2, ... in the order Record presses started them.
class TRecordingModel {
public:
    enum class TState { Idle, Recording, Paused };

    // A Record press that the sink accepted: a new run, recording.
    uint64_t Started()
    {
        FState = TState::Recording;
        FStatus = "Record";
        return ++FStartedRuns;
    }
    // A Record press whose run could not start: idle, showing the error.
    void StartFailed() { ToIdle("Error"); }
    // A Record press refused by the sink still ending the last run: nothing records, so the
    // window stays idle as it was, status included; that run's end arrives as usual.
    void RefusedBusy() { ++FBusyRefusals; }
    void PausePressed()
    {
        if (FState == TState::Recording) {
            FState = TState::Paused;
            FStatus = "Pause";
        } else if (FState == TState::Paused) {
            FState = TState::Recording;
            FStatus = "Record";
        }
    }
    void StopClicked()
    {
        if (FState != TState::Idle)
            ToIdle("Mp3 Done");
    }
    // The sink's worker reported the end of Run. Only the latest run's end changes the window.
    void RunEnded(uint64_t Run, bool Failed)
    {
        FEndedRuns = Run;
        if (Run == FStartedRuns)
            ToIdle(Failed ? "Error" : "MP3 Done");
    }

    TState State() const { return FState; }
    const std::string& Status() const { return FStatus; }
    uint64_t StartedRuns() const { return FStartedRuns; }
    uint64_t EndedRuns() const { return FEndedRuns; }
    uint64_t BusyRefusals() const { return FBusyRefusals; }
    // A run has started whose end the sink has not reported yet.
    bool RunPending() const { return FEndedRuns < FStartedRuns; }

private:
    void ToIdle(const char* Status)
    {
        FState = TState::Idle;
        FStatus = Status;
    }

    TState FState = TState::Idle;
    std::string FStatus = "Status";
    uint64_t FStartedRuns = 0;
    uint64_t FEndedRuns = 0;
    uint64_t FBusyRefusals = 0;
};

// Ends the process when an event does not finish within Bound: a hang never ends a test.
class TWatchdog {
public:
    explicit TWatchdog(std::chrono::seconds ABound)
        : FBound(ABound)
        , FThread([this] { Watch(); })
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
        FDeadline = std::chrono::steady_clock::now() + FBound;
        FChanged.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock Lock(FMutex);
        while (!FQuit) {
            if (FDeadline != std::chrono::steady_clock::time_point{}
                && std::chrono::steady_clock::now() > FDeadline) {
                std::cerr << "Hung for " << FBound.count() << " s in " << FWhat << std::endl;
                std::abort();
            }
            FChanged.wait_for(Lock, std::chrono::seconds(1));
        }
    }

    const std::chrono::seconds FBound;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::string FWhat;
    std::chrono::steady_clock::time_point FDeadline{};
    bool FQuit = false;
    std::thread FThread;
};
