// Destroying an output in every state of its worker: never started, idle after a run, running,
// paused, stopping, and suspending itself in the very pass in which the request arrives. Each
// case must return (no hang), leak nothing and touch no freed memory (the sanitizer runs see it).
#include "ComponentRelease.h"
#include "PipelineStages.h"

#include <gtest/gtest.h>

using TestSupport::TSignal;
using TestSupport::WaitUntil;

namespace {

struct Destruction : ::testing::Test {
    TComponent Owner;
    TTestSource* Source = new TTestSource(&Owner);
    TTestSink* Sink = new TTestSink(&Owner);
    TSignal DoneSignal;
    TSignal Reading;

    void SetUp() override
    {
        Sink->SetInput(Source);
        Sink->OnDone = [this](TComponent*) { DoneSignal.Raise(); };
        Source->BeforeRead = [this] { Reading.Raise(); };
    }
};

TEST_F(Destruction, NeverStarted)
{
    delete Sink;
    EXPECT_EQ(Source->Reads, 0);
}

TEST_F(Destruction, IdleAfterARunEndsTheSuspendedWorkerWithoutAnotherPass)
{
    Source->TotalBytes = 200;
    Sink->Run();
    ASSERT_TRUE(DoneSignal.WaitFor());
    ASSERT_TRUE(WaitUntil([&] { return Sink->WorkerSuspended(); }));
    const int Reads = Source->Reads;
    delete Sink;
    EXPECT_EQ(Source->Reads, Reads);
}

TEST_F(Destruction, RunningMakesAFinalAbortPassWithoutDone)
{
    TTestLog Log;
    Sink->Log = &Log;
    Sink->Run();
    ASSERT_TRUE(Reading.WaitFor(3));
    delete Sink;
    EXPECT_EQ(Log.Lines(), std::vector<std::string>{ "Abort" });
    EXPECT_TRUE(Source->Busy) << "no Done: the input was not flushed";
}

TEST_F(Destruction, PausedEndsTheWorkerWithoutResumingTheRun)
{
    Sink->Run();
    ASSERT_TRUE(Reading.WaitFor());
    Sink->Pause();
    ASSERT_TRUE(WaitUntil([&] { return !Sink->InputLockSet(); }));
    TTestLog Log;
    Sink->Log = &Log;
    delete Sink;
    EXPECT_TRUE(Log.Lines().empty()) << "a paused worker is ended without another pass";
    EXPECT_TRUE(Source->Busy);
}

TEST_F(Destruction, StoppingWhileTheRunEnds)
{
    TTestLog Log;
    Sink->Log = &Log;
    Sink->Run();
    ASSERT_TRUE(Reading.WaitFor(2));
    Sink->Stop();
    delete Sink; // the worker is on its way to the end of the run, or already there
    // Either the stop ended the run (an aborted pass, then Done) or the destruction came first
    // (its final aborted pass alone); never both, never a second Done.
    const std::vector<std::string> Lines = Log.Lines();
    const std::vector<std::string> Ended{ "Abort", "Done" };
    const std::vector<std::string> Abandoned{ "Abort" };
    EXPECT_TRUE(Lines == Ended || Lines == Abandoned) << ::testing::PrintToString(Lines);
    EXPECT_EQ(Source->Busy, Lines == Abandoned) << "the input is flushed exactly when Done ran";
}

TEST_F(Destruction, WorkerSuspendingItselfInThePassOfTheRequest)
{
    // The pass that ends the run waits inside the done handler until the destruction has asked
    // the worker to end; the worker then suspends itself after the request has arrived.
    TSignal InDone;
    Source->TotalBytes = 100;
    Sink->OnDone = [&](TComponent*) {
        InDone.Raise();
        EXPECT_TRUE(WaitUntil([&] { return Sink->TerminateRequested(); }));
    };
    Sink->Run();
    ASSERT_TRUE(InDone.WaitFor());
    std::thread Deleter([&] { delete Sink; });
    Deleter.join();
    EXPECT_FALSE(Source->Busy) << "the run had ended normally";
}

TEST_F(Destruction, OwnerDestroysARunningSinkBeforeItsInput)
{
    auto* Owner2 = new TComponent;
    auto* Src = new TTestSource(Owner2);
    auto* Conv = new TTestConverter(Owner2);
    auto* Snk = new TTestSink(Owner2);
    Conv->SetInput(Src);
    Snk->SetInput(Conv);
    TSignal Reads;
    Src->BeforeRead = [&] { Reads.Raise(); };
    Snk->Run();
    ASSERT_TRUE(Reads.WaitFor(2));
    delete Owner2; // sink first: its worker ends before the stages it reads are destroyed
    SUCCEED();
}

} // namespace

namespace {

// An owner whose sinks are idle goes at once; one whose sink's worker is inside a read that does
// not come back goes on a thread of its own, without the caller waiting, once the read returns.
TEST(ComponentRelease, WaitsForNoWorkerAndFreesTheStagesOnceTheyAreLetGo)
{
    auto Idle = std::make_unique<TComponent>();
    new TTestSink(Idle.get());
    ReleaseComponents(std::move(Idle));
    EXPECT_EQ(PendingComponentReleases(), 0);

    auto Owner = std::make_unique<TComponent>();
    auto* Source = new TTestSource(Owner.get());
    auto* Sink = new TTestSink(Owner.get());
    Sink->SetInput(Source);
    TSignal Reading, LetGo;
    TTestLog Log;
    Sink->Log = &Log;
    Source->BeforeRead = [&] {
        Reading.Raise();
        EXPECT_TRUE(LetGo.WaitFor());
    };
    Sink->Run();
    ASSERT_TRUE(Reading.WaitFor());
    ReleaseComponents(std::move(Owner));
    EXPECT_EQ(PendingComponentReleases(), 1) << "the read has not come back";
    LetGo.Raise();
    ASSERT_TRUE(AwaitComponentReleases(TestSupport::FailAfter));
    EXPECT_TRUE(Log.Has("Abort")) << "the worker ended with its last pass, then the sink went";
}

} // namespace
