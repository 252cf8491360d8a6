// TACSThread, the worker thread of an output: its loop, its suspension and its end.
#include "ACS_Classes.h"

TACSThread::TACSThread()
    : FThread([this] { Execute(); })
{
}

TACSThread::~TACSThread()
{
    Terminate();
}

void TACSThread::Bind(TDoOutput ADoOutput, TWhenDone AWhenDone,
    THandleThreadException AHandleThreadException, TRunPending ARunPending)
{
    // The worker reads the callbacks only after the first Resume, which orders these writes
    // before its reads through FSuspendMutex.
    std::lock_guard Lock(FSuspendMutex);
    FDoOutput = std::move(ADoOutput);
    FWhenDone = std::move(AWhenDone);
    FHandleThreadException = std::move(AHandleThreadException);
    FRunPending = std::move(ARunPending);
}

void TACSThread::Suspend()
{
    std::lock_guard Lock(FSuspendMutex);
    FSuspended = true;
}

void TACSThread::Resume()
{
    std::lock_guard Lock(FSuspendMutex);
    if (FSuspended) {
        FSuspended = false;
        FResumed.notify_all();
    }
}

void TACSThread::Terminate()
{
    if (!FThread.joinable() || IsWorkerThread())
        return;
    TerminateRequest = true;
    {
        std::lock_guard Lock(FSuspendMutex);
        FQuit = true;
        FResumed.notify_all();
    }
    FThread.join();
}

bool TACSThread::WaitWhileSuspended(bool& Abort)
{
    // A running worker goes on without taking the lock: polling between runs it would hold it
    // nearly all the time, and Run and Resume, which take it, could wait long. The stop request
    // is read before the suspension flag, and Pause sets that flag before any Stop that follows
    // it, so such a Stop is never taken into a pass before the Resume.
    Abort = StopRequest;
    if (!FSuspended)
        return true;
    std::unique_lock Lock(FSuspendMutex);
    FResumed.wait(Lock, [this] { return !FSuspended || FQuit; });
    Abort = StopRequest;
    return !FSuspended;
}

bool TACSThread::SuspendAfterRun()
{
    std::unique_lock Lock(FSuspendMutex);
    // A run that another thread started after this one ended must not wait for a Resume that
    // will never come; a run started from the done handler on this thread waits as any other.
    if (FRunPending && FRunPending())
        return true;
    FSuspended = true;
    FResumed.wait(Lock, [this] { return !FSuspended || FQuit; });
    return !FSuspended;
}

void TACSThread::Execute()
{
    bool Abort = false;
    while (WaitWhileSuspended(Abort)) {
        if (TerminateRequest) {
            // A worker paused on its way here ends as a suspended one does, without a last pass.
            try {
                if (!Suspended())
                    FDoOutput(true);
            } catch (...) {
                // The output is going away; nothing is left to report to.
            }
            break;
        }
        std::lock_guard Block(BlockLock);
        bool RunEnded = false;
        try {
            if (!FDoOutput(Abort)) {
                StopRequest = false;
                RunEnded = true;
                FWhenDone();
            }
        } catch (const std::exception& E) {
            StopRequest = false;
            RunEnded = true;
            try {
                FHandleThreadException(E);
            } catch (...) {
                // A failing OnThreadException handler must not end the worker.
            }
        } catch (...) {
            StopRequest = false;
            RunEnded = true;
            try {
                FHandleThreadException(EACSException("Unknown failure in the output thread"));
            } catch (...) {
                // As above: a failing OnThreadException handler must not end the worker.
            }
        }
        if (RunEnded && SuspendWhenIdle && !SuspendAfterRun())
            break;
    }
    TerminateRequest = false;
}
