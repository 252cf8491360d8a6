// Exchanging the input of converters and outputs, the removal notice, the lock walk and Reset.
#include "PipelineStages.h"

#include <gtest/gtest.h>
#include <thread>

using TestSupport::TSignal;
using TestSupport::WaitUntil;

namespace {

TEST(InputExchange, IdleConverterStoresTheInputWithoutInitOrFlush)
{
    TComponent Owner;
    TTestLog Log;
    auto* A = new TTestSource(&Owner, &Log, "a");
    auto* Converter = new TTestConverter(&Owner);
    Converter->SetInput(A);
    EXPECT_EQ(Converter->GetInput(), A);
    Converter->SetInput(Converter);
    EXPECT_EQ(Converter->GetInput(), A) << "a converter never becomes its own input";
    EXPECT_TRUE(Log.Lines().empty());
}

TEST(InputExchange, IdleOutputStoresTheInputWithoutInitOrFlush)
{
    TComponent Owner;
    TTestLog Log;
    auto* A = new TTestSource(&Owner, &Log, "a");
    auto* Sink = new TTestSink(&Owner);
    Sink->SetInput(A);
    EXPECT_EQ(Sink->GetInput(), A);
    EXPECT_TRUE(Log.Lines().empty());
}

// A run reads through Converter from Old; the test holds a read of Old open while another thread
// exchanges the converter's (or the sink's) input for New.
struct RunningExchange : ::testing::Test {
    TComponent Owner;
    TTestLog Log;
    TTestSource* Old = new TTestSource(&Owner, &Log, "old");
    TTestSource* New = new TTestSource(&Owner, &Log, "new");
    TTestConverter* Converter = new TTestConverter(&Owner);
    TTestSink* Sink = new TTestSink(&Owner);
    TSignal InRead;
    TSignal ReleaseRead;
    TSignal DoneSignal;
    std::atomic<bool> HoldReads{ true };

    void SetUp() override
    {
        Old->BeforeRead = [this] {
            if (HoldReads) {
                InRead.Raise();
                ReleaseRead.WaitFor();
            }
        };
        Sink->OnDone = [this](TComponent*) { DoneSignal.Raise(); };
    }

    // Exchanges on another thread while a read of Old is in flight; checks the order of events.
    void ExchangeDuringRead(
        const std::function<void()>& Exchange, const std::function<TACSInput*()>& CurrentInput)
    {
        Sink->Run();
        ASSERT_TRUE(InRead.WaitFor());
        const int64_t BytesBefore = Sink->BytesRead;
        std::thread Exchanger(Exchange);
        ASSERT_TRUE(WaitUntil([&] { return Log.Has("Init new"); }));
        EXPECT_FALSE(Log.Has("Flush old")) << "the old input is flushed only after the switch";
        EXPECT_EQ(CurrentInput(), Old) << "no switch while a read is in flight";
        HoldReads = false;
        ReleaseRead.Raise();
        Exchanger.join();
        EXPECT_TRUE(Log.Has("Flush old"));
        EXPECT_TRUE(WaitUntil([&] { return Sink->BytesRead > BytesBefore; }))
            << "the read in flight completed on the old input";
        EXPECT_TRUE(WaitUntil([&] { return New->Reads > 0; }))
            << "the run goes on from the new input";
        Sink->Stop();
        ASSERT_TRUE(DoneSignal.WaitFor());
    }
};

TEST_F(RunningExchange, ConverterInitsTheNewInputBeforeAndFlushesTheOldAfterTheSwitch)
{
    Converter->SetInput(Old);
    Sink->SetInput(Converter);
    ExchangeDuringRead(
        [this] { Converter->SetInput(New); }, [this] { return Converter->GetInput(); });
    EXPECT_EQ(Converter->GetInput(), New);
}

TEST_F(RunningExchange, OutputInitsTheNewInputBeforeAndFlushesTheOldAfterTheSwitch)
{
    Sink->SetInput(Old);
    ExchangeDuringRead([this] { Sink->SetInput(New); }, [this] { return Sink->GetInput(); });
    EXPECT_EQ(Sink->GetInput(), New);
}

TEST_F(RunningExchange, SettingNoInputDuringARunFlushesTheOldOne)
{
    Converter->SetInput(Old);
    Sink->SetInput(Converter);
    // Paused from inside a read: the worker ends that pass and then stops, so that the converter
    // is not read again while its input goes.
    TSignal Paused;
    Old->BeforeRead = [&] {
        if (Paused.Count() == 0) {
            Sink->Pause();
            Paused.Raise();
        }
    };
    Sink->Run();
    ASSERT_TRUE(Paused.WaitFor());
    Converter->SetInput(nullptr); // waits for the read in flight
    EXPECT_TRUE(Log.Has("Flush old"));
    EXPECT_EQ(Converter->GetInput(), nullptr);
    Sink->SetInput(New); // running exchange on the sink: the converter leaves the chain
    Sink->Resume();
    EXPECT_TRUE(WaitUntil([&] { return New->Reads > 0; }));
    Sink->Stop();
    ASSERT_TRUE(DoneSignal.WaitFor());
}

TEST(RemovalNotice, ConverterForgetsAnInputThatIsRemoved)
{
    TComponent Owner;
    auto* Source = new TTestSource(&Owner);
    auto* Converter = new TTestConverter(&Owner);
    auto* Sink = new TTestSink(&Owner);
    Converter->SetInput(Source);
    Sink->SetInput(Source);
    delete Source;
    EXPECT_EQ(Converter->GetInput(), nullptr);
    EXPECT_EQ(Sink->GetInput(), nullptr) << "an output must not read from a destroyed input";
    EXPECT_EQ(Owner.ComponentCount(), 2);
}

TEST_F(RunningExchange, RunningConverterForgetsARemovedInputWithoutFlushingIt)
{
    Converter->SetInput(Old);
    Sink->SetInput(Converter);
    TSignal Paused;
    Old->BeforeRead = [&] {
        if (Paused.Count() == 0) {
            Sink->Pause();
            Paused.Raise();
        }
    };
    Sink->Run();
    ASSERT_TRUE(Paused.WaitFor());
    ASSERT_TRUE(
        WaitUntil([&] { return Sink->Status() == osPaused && !Converter->InputLockSet(); }));
    delete Old; // the input ends its own run; nothing may call into it while it goes
    EXPECT_EQ(Converter->GetInput(), nullptr);
    EXPECT_FALSE(Log.Has("Flush old"));
    Sink->Stop();
    Sink->Resume();
    ASSERT_TRUE(DoneSignal.WaitFor());
}

TEST(RemovalNotice, OwnerDestroysWhatItOwnsAndFindsComponentsByName)
{
    auto* Owner = new TComponent;
    auto* Source = new TTestSource(Owner);
    Source->SetName("AudIn");
    auto* Converter = new TTestConverter(Owner);
    Converter->SetName("SndIndic");
    EXPECT_EQ(Owner->FindComponent("AudIn"), Source);
    EXPECT_EQ(Owner->FindComponent("SndIndic"), Converter);
    EXPECT_EQ(Owner->FindComponent("MP3Out"), nullptr);
    Converter->SetInput(Source);
    delete Owner; // the leak checker sees anything left behind
}

TEST(ReleaseInputLocks, WalksUpTheChainAndStopsAtTheSource)
{
    TComponent Owner;
    auto* Source = new TTestSource(&Owner);
    auto* Upper = new TTestConverter(&Owner);
    auto* Lower = new TTestConverter(&Owner);
    Upper->SetInput(Source);
    Lower->SetInput(Upper);
    Upper->HoldInputLock();
    Lower->HoldInputLock();
    Lower->ReleaseInputLocks();
    EXPECT_FALSE(Upper->InputLockSet());
    EXPECT_FALSE(Lower->InputLockSet());

    auto* Lonely = new TTestConverter(&Owner);
    Lonely->HoldInputLock();
    Lonely->ReleaseInputLocks(); // an empty input ends the walk
    EXPECT_FALSE(Lonely->InputLockSet());
}

TEST(Reset, SwallowsAFailingFlushAndClearsBusy)
{
    TComponent Owner;
    auto* Source = new TTestSource(&Owner);
    Source->Init();
    Source->FailFlush = true;
    Source->Busy = true;
    EXPECT_NO_THROW(Source->Reset());
    EXPECT_FALSE(Source->Busy);
}

TEST(Reset, StageWithoutOwnTotalTimeReportsZero)
{
    TComponent Owner;
    auto* Source = new TTestSource(&Owner);
    EXPECT_EQ(Source->GetTotalTime(), 0);
    EXPECT_EQ(Source->Position, 0);
}

} // namespace
