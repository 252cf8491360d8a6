// Which run of the sink a report belongs to, and the wait for a run's end.
//
// The rule: the sink's runs end in the order they start, each exactly once, either on its worker
// (OnDone or OnThreadException) or, when the run cannot start, inside Run with OnThreadException
// on the thread that called Run. Runs that started are numbered 1, 2, ... in that order, so the
// k-th end the worker reports is the end of run k: a worker report belongs to run (ends reported
// before it + 1). A report raised inside Start belongs to no run: that start failed.
//
// Threads: Start, StartedRuns and AwaitEnd on the GUI thread; ReportRun from the sink's events on
// either thread; Ended on the worker; EndedRuns on any thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class TRunLedger {
public:
    using TRunNumber = uint64_t;
    // The number ReportRun gives a report raised inside Start: the failed start.
    static constexpr TRunNumber FailedStart = 0;

    // Calls Run (the sink's). Returns the number of the run it started, or FailedStart when a
    // report was raised inside it. An exception from Run (a busy sink) passes, and no run starts.
    TRunNumber Start(const std::function<void()>& Run);
    // The run a report that the sink is raising now belongs to.
    TRunNumber ReportRun();
    // The worker has reported (and queued) the end of Run; wakes AwaitEnd.
    void Ended(TRunNumber Run);

    // The last run that started; 0 before the first.
    TRunNumber StartedRuns() const { return FStartedRuns; }
    // Runs whose end the worker has reported.
    TRunNumber EndedRuns() const { return FEndedRuns.load(); }

    // Blocks until Idle holds, looking at it now and at each end the worker reports, at most
    // Bound; returns whether it holds.
    bool AwaitEnd(const std::function<bool()>& Idle, std::chrono::milliseconds Bound);

private:
    TRunNumber FStartedRuns = 0;
    // A report was raised inside the Start under way; GUI thread.
    bool FStartFailed = false;
    std::atomic<TRunNumber> FEndedRuns{ 0 };
    std::mutex FEndMutex;
    std::condition_variable FEndChanged;
};
