// The session's end. A log-out, a shutdown or a termination signal ends the program whatever the
// window answers; refusing would only block the user and cut the recording short. So the window
// never refuses: it stops a run still in progress, waits for its file to be complete, and lets
// the session go on.
#include "Corvat.h"
#include "DebugLog.h"
#include "HandlerGuard.h"

bool TMain::RunInProgress() const
{
    return MP3Out->Status() != osIdle;
}

bool TMain::FinishRun(std::chrono::milliseconds Bound)
{
    if (!RunInProgress())
        return true;
    MP3Out->Stop();
    // A paused worker (and its paused device) sees the stop request only once it goes on.
    if (MP3Out->Status() == osPaused || AudIn->Paused())
        RunGuarded(FWindow, [this] { ResumeRun(); });
    return AwaitSinkIdle(Bound);
}

bool TMain::FormQueryEndSession()
{
    // The window may stay (another program can cancel the session's end), so the bound is not
    // kept: a later run and close wait for their own end in full.
    FinishRun(RunEndLeft());
    return true;
}

void TMain::FormEndSession()
{
    FWindow.StopTimer();
    // The window goes: its destruction's wait shares this bound.
    if (!FRunEndDeadline)
        FRunEndDeadline = std::chrono::steady_clock::now() + RunEndLimit;
    const bool Ended = FinishRun(RunEndLeft());
    DebugLog(Ended ? "session: run ended" : "session: run did not end in time");
    CanExit = true;
    FWindow.Close();
}
