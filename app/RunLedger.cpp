#include "RunLedger.h"

namespace {

// The ledger whose Start is under way on this thread: a report raised here meanwhile is the
// failed start, while the worker may still be reporting the end of the run before.
thread_local const TRunLedger* StartingOnThisThread = nullptr;

} // namespace

TRunLedger::TRunNumber TRunLedger::Start(const std::function<void()>& Run)
{
    struct TStarting {
        explicit TStarting(const TRunLedger* Ledger) { StartingOnThisThread = Ledger; }
        ~TStarting() { StartingOnThisThread = nullptr; }
    };
    FStartFailed = false;
    {
        TStarting Starting(this);
        Run();
    }
    if (FStartFailed)
        return FailedStart;
    return ++FStartedRuns;
}

TRunLedger::TRunNumber TRunLedger::ReportRun()
{
    if (StartingOnThisThread == this) {
        FStartFailed = true;
        return FailedStart;
    }
    return FEndedRuns.load() + 1;
}

void TRunLedger::Ended(TRunNumber Run)
{
    FEndedRuns = Run;
    // Taking the lock orders the wake-up after a waiter's look at Idle.
    {
        std::lock_guard Lock(FEndMutex);
    }
    FEndChanged.notify_all();
}

bool TRunLedger::AwaitEnd(const std::function<bool()>& Idle, std::chrono::milliseconds Bound)
{
    std::unique_lock Lock(FEndMutex);
    return FEndChanged.wait_for(Lock, Bound, Idle);
}
