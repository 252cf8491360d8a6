// What the window stress test keeps of its own: the recording state table as the user meets it,
// driven by the presses the test makes and by the sink's run ends the test sees on the sink's
// worker, never by the window's flags; and a watchdog that ends a hung sequence.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

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
