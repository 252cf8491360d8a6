// Run control of an output: Run, Stop, Pause, Resume, Status, Progress and the events.
#include "PipelineStages.h"

#include <gtest/gtest.h>

using TestSupport::TSignal;
using TestSupport::WaitUntil;

namespace {

struct RunControl : ::testing::Test {
    TComponent Owner;
    TTestSource* Source = new TTestSource(&Owner);
    TTestSink* Sink = new TTestSink(&Owner);
    TSignal DoneSignal;
    TSignal FailedSignal;
    std::string FailMessage;

    void SetUp() override
    {
        Sink->SetInput(Source);
        Sink->OnDone = [this](TComponent*) { DoneSignal.Raise(); };
        Sink->OnThreadException = [this](TComponent* Sender, const std::exception& E) {
            EXPECT_EQ(Sender, Sink);
            FailMessage = E.what();
            FailedSignal.Raise();
        };
    }
    bool WorkerSuspendedAndIdle()
    {
        return WaitUntil([&] { return Sink->Status() == osIdle && Sink->WorkerSuspended(); });
    }
};

TEST_F(RunControl, RunIsRefusedWhileBusyOrWithoutInput)
{
    Sink->Run();
    try {
        Sink->Run();
        FAIL() << "a second Run was accepted";
    } catch (const EACSException& E) {
        EXPECT_STREQ(E.what(), "Component is buisy");
    }
    EXPECT_EQ(Sink->PrepareCalls, 1);
    Sink->Stop();
    ASSERT_TRUE(DoneSignal.WaitFor());

    Sink->SetInput(nullptr);
    try {
        Sink->Run();
        FAIL() << "Run without input was accepted";
    } catch (const EACSException& E) {
        EXPECT_STREQ(E.what(), "Input is not assigned");
    }
    EXPECT_EQ(Sink->PrepareCalls, 1);
}

TEST_F(RunControl, FailingPrepareReachesOnlyTheExceptionEvent)
{
    Sink->FailPrepare = true;
    EXPECT_NO_THROW(Sink->Run());
    ASSERT_EQ(FailedSignal.Count(), 1); // raised on this thread, inside Run
    EXPECT_EQ(FailMessage, "prepare failed");
    EXPECT_EQ(Sink->Status(), osIdle);
    EXPECT_EQ(Sink->DoneCalls, 0);
    EXPECT_TRUE(Sink->WorkerSuspended());

    // A later Run starts afresh.
    Sink->FailPrepare = false;
    Source->TotalBytes = 1000;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_EQ(Sink->BytesRead, 1000);
}

TEST_F(RunControl, EndOfDataEndsTheRunAndSuspendsTheWorker)
{
    Source->TotalBytes = 1050;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_TRUE(WorkerSuspendedAndIdle());
    EXPECT_EQ(Sink->DoneCalls, 1);
    EXPECT_EQ(Sink->BytesRead, 1050); // short deliveries are followed by more requests
    EXPECT_FALSE(Source->Busy);
}

TEST_F(RunControl, StopWhileRunningEndsTheRunAtTheNextPass)
{
    TSignal Reading;
    Source->BeforeRead = [&] { Reading.Raise(); };
    Sink->Run();
    ASSERT_TRUE(Reading.WaitFor(3));
    Sink->Stop();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_EQ(Sink->DoneCalls, 1);
    EXPECT_EQ(Sink->AbortedPasses, 1);
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

TEST_F(RunControl, StopWhileIdleHasNoEffectOnTheNextRun)
{
    Sink->Stop();
    Source->TotalBytes = 500;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_EQ(Sink->AbortedPasses, 0);
    EXPECT_EQ(Sink->BytesRead, 500);
}

TEST_F(RunControl, PauseAndResumeShowInStatusAndStopWaitsForResume)
{
    TSignal Reading;
    Source->BeforeRead = [&] { Reading.Raise(); };
    Sink->Run();
    EXPECT_NE(Sink->Status(), osIdle);
    ASSERT_TRUE(Reading.WaitFor());

    Sink->Pause();
    EXPECT_EQ(Sink->Status(), osPaused); // from the call on, before the worker has stopped
    // The worker stops between passes, never holding the input lock.
    ASSERT_TRUE(WaitUntil([&] { return !Sink->InputLockSet(); }));

    Sink->Stop();
    EXPECT_EQ(DoneSignal.Count(), 0);
    EXPECT_EQ(Sink->Status(), osPaused);

    Sink->Resume();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_EQ(Sink->DoneCalls, 1);
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

// A worker that has just passed its suspension check when Pause comes still makes that pass; it
// must not take a Stop that follows the Pause into it. Destroying the paused sink joins the
// worker, so the log then holds every pass it made: none may have aborted the run. The window
// between the check and the pass is short, so the case is repeated.
TEST(RunControlRace, StopRightAfterPauseNeverEndsTheRunBeforeResume)
{
    for (int Attempt = 0; Attempt < 300; ++Attempt) {
        TComponent Owner;
        TTestLog Log;
        auto* Source = new TTestSource(&Owner);
        auto* Sink = new TTestSink(&Owner);
        Sink->SetInput(Source);
        Sink->Log = &Log;
        TSignal Reading;
        Source->BeforeRead = [&] { Reading.Raise(); };
        Sink->Run();
        ASSERT_TRUE(Reading.WaitFor());
        Sink->Pause();
        Sink->Stop();
        delete Sink;
        ASSERT_EQ(Log.Lines(), std::vector<std::string>{}) << "attempt " << Attempt;
    }
}

TEST_F(RunControl, ResumeOfRunningWorkerShowsBusy)
{
    TSignal Reading;
    Source->BeforeRead = [&] { Reading.Raise(); };
    Sink->Run();
    ASSERT_TRUE(Reading.WaitFor());
    Sink->Pause();
    Sink->Resume();
    EXPECT_EQ(Sink->Status(), osBusy);
    const int Before = Reading.Count();
    ASSERT_TRUE(Reading.WaitFor(Before + 2)); // the worker goes on reading
    Sink->Stop();
    ASSERT_TRUE(DoneSignal.WaitFor());
}

TEST_F(RunControl, RunFromInsideOnDoneWaitsPausedUntilResume)
{
    Source->TotalBytes = 300;
    std::atomic<int> Runs{ 0 };
    Sink->OnDone = [&](TComponent*) {
        if (++Runs == 1)
            Sink->Run();
        DoneSignal.Raise();
    };
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    ASSERT_TRUE(WaitUntil([&] { return Sink->WorkerSuspended(); }));
    EXPECT_EQ(Sink->Status(), osPaused);
    EXPECT_EQ(Sink->PrepareCalls, 2);

    Sink->Resume();
    ASSERT_TRUE(DoneSignal.WaitFor(2));
    EXPECT_EQ(Sink->BytesRead, 600);
}

TEST_F(RunControl, RunFromAnotherThreadBeforeTheWorkerSuspendsIsNotLeftPaused)
{
    Source->TotalBytes = 300;
    TSignal InDone;
    TSignal Release;
    Sink->OnDone = [&](TComponent*) {
        InDone.Raise();
        Release.WaitFor();
        DoneSignal.Raise();
    };
    Sink->Run();
    ASSERT_TRUE(InDone.WaitFor());
    // The worker is inside its done handler; Busy is already false, so a new run starts now,
    // before the worker comes to suspend itself.
    Sink->Run();
    Release.Raise();
    ASSERT_TRUE(DoneSignal.WaitFor(2));
    EXPECT_EQ(Sink->BytesRead, 600);
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

TEST_F(RunControl, ExceptionFromOnDoneReachesTheExceptionEventWithoutSecondDone)
{
    Source->TotalBytes = 100;
    Sink->OnDone = [](TComponent*) { throw EACSException("handler failed"); };
    Sink->Run();
    ASSERT_TRUE(FailedSignal.WaitFor());
    EXPECT_EQ(FailMessage, "handler failed");
    EXPECT_EQ(Sink->DoneCalls, 1);
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

TEST_F(RunControl, FailingDoneIsCalledAgainByTheFailureHandling)
{
    Source->TotalBytes = 100;
    Sink->FailDone = true;
    Sink->Run();
    ASSERT_TRUE(FailedSignal.WaitFor());
    EXPECT_EQ(FailMessage, "done failed");
    EXPECT_EQ(Sink->DoneCalls, 2);
    EXPECT_EQ(DoneSignal.Count(), 0);
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

TEST_F(RunControl, FailingReadClearsTheLocksUpTheChainAndEndsTheRun)
{
    auto* Converter = new TTestConverter(&Owner);
    Converter->SetInput(Source);
    Sink->SetInput(Converter);
    Source->FailReads = true;
    Sink->Run();
    ASSERT_TRUE(FailedSignal.WaitFor());
    EXPECT_EQ(FailMessage, "read failed");
    EXPECT_FALSE(Converter->InputLockSet());
    EXPECT_FALSE(Sink->InputLockSet());
    EXPECT_EQ(Sink->DoneCalls, 1);
    EXPECT_TRUE(WorkerSuspendedAndIdle());

    // Nothing is left locked: the next run goes through.
    Source->FailReads = false;
    Source->TotalBytes = 200;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
}

TEST_F(RunControl, FailureWhileFinishingAFailedRunIsReportedWithIt)
{
    Source->FailReads = true;
    Sink->FailDone = true;
    Sink->Run();
    ASSERT_TRUE(FailedSignal.WaitFor());
    EXPECT_EQ(FailMessage, "read failed; finishing the run failed as well: done failed");
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

TEST_F(RunControl, ResumeOfIdleWorkerPollsUntilTheNextRun)
{
    Sink->Resume();
    EXPECT_EQ(Sink->Status(), osIdle);
    EXPECT_FALSE(Sink->WorkerSuspended());
    Source->TotalBytes = 200;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_EQ(Sink->BytesRead, 200);
    EXPECT_TRUE(WorkerSuspendedAndIdle());
}

TEST_F(RunControl, WithoutSuspendWhenIdleTheWorkerKeepsPolling)
{
    Sink->SetSuspendWhenIdle(false);
    Source->TotalBytes = 200;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    EXPECT_FALSE(Sink->WorkerSuspended());
    Sink->Run(); // no Resume needed
    ASSERT_TRUE(DoneSignal.WaitFor(2));
    EXPECT_EQ(Sink->BytesRead, 400);
}

struct ProgressCase {
    int32_t Position;
    int32_t Size;
    int32_t Expected;
};

void PrintTo(const ProgressCase& Case, std::ostream* Out)
{
    *Out << Case.Position << " of " << Case.Size;
}

class ProgressTable : public ::testing::TestWithParam<ProgressCase> { };

TEST_P(ProgressTable, RoundsHalvesToEvenAndIsNotClamped)
{
    TComponent Owner;
    auto* Source = new TTestSource(&Owner);
    auto* Sink = new TTestSink(&Owner);
    Sink->SetInput(Source);
    Source->Position = GetParam().Position;
    Source->Size = GetParam().Size;
    EXPECT_EQ(Sink->Progress(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressTable,
    ::testing::Values(ProgressCase{ 5, -1, -1 }, ProgressCase{ 5, 0, 0 }, ProgressCase{ 1, 3, 33 },
        ProgressCase{ 1, 8, 12 }, ProgressCase{ 3, 8, 38 }, ProgressCase{ 5, 8, 62 },
        ProgressCase{ 12, 8, 150 }, ProgressCase{ 1, -2, -50 },
        ProgressCase{ 2000000000, 1, 2147483647 }));

// Every pass reads the input's counts for its progress report; an input removed during the run
// must never be read once it has gone (the sanitizer runs see a read racing its release).
TEST(Progress, InputRemovedDuringARunIsNotReadOnceItHasGone)
{
    for (int Round = 0; Round < 20; ++Round) {
        TComponent Owner;
        auto* Source = new TWithdrawingSource(&Owner);
        auto* Sink = new TTestSink(&Owner);
        Sink->SetInput(Source);
        Source->PlannedSize = 1 << 30;
        TSignal Failed;
        Sink->OnThreadException = [&](TComponent*, const std::exception&) { Failed.Raise(); };
        Sink->Run();
        ASSERT_TRUE(WaitUntil([&] { return Source->Reads >= 3; }));
        delete Source;
        ASSERT_TRUE(Failed.WaitFor()) << "the next read finds no input";
        EXPECT_EQ(Sink->Progress(), 0);
    }
}

TEST(Progress, IsZeroWithoutInput)
{
    TComponent Owner;
    auto* Sink = new TTestSink(&Owner);
    EXPECT_EQ(Sink->Progress(), 0);
}

} // namespace
