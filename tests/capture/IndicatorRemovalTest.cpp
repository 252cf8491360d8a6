// The level indicator taken out of a running chain while a read through it fails: the read leaves
// its lock set, and the sink's failure handling must clear it while the indicator cannot go yet,
// so that deleting the indicator neither waits for ever on that lock nor lets the worker touch
// the indicator (or its input) once it has gone (the sanitizer runs see the latter).
#include "ACS_Indicator.h"
#include "PipelineStages.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using TestSupport::TSignal;

namespace {

// Told, on the deleting thread, when a component of its owner starts going away; it is the
// owner's first component, so it hears of it before the stages that read from the one going.
class TRemovalSpy : public TComponent {
public:
    using TComponent::TComponent;
    TSignal Removals;

protected:
    void Notification(TComponent*, TOperation Operation) override
    {
        if (Operation == opRemove)
            Removals.Raise();
    }
};

struct TFailingChain {
    TComponent Owner;
    TRemovalSpy* Spy = new TRemovalSpy(&Owner);
    TTestSource* Source = new TWithdrawingSource(&Owner);
    TSoundIndicator* Indicator = new TSoundIndicator(&Owner);
    TTestSink* Sink = new TTestSink(&Owner);
    TSignal ReadFailing;
    TSignal Failed;
    std::string Failure; // written by the worker before Failed is raised
    // The next read fails, decided once inside the read.
    std::atomic<bool> FailNextRead{ false };

    TFailingChain()
    {
        Indicator->SetInput(Source);
        Sink->SetInput(Indicator);
        Sink->OnThreadException = [this](TComponent*, const std::exception& E) {
            Failure = E.what();
            Failed.Raise();
        };
        // The failing read goes on only once the removal has begun, so the deleting thread is
        // already waiting for the read in flight when the read raises.
        Source->BeforeRead = [this] {
            if (!FailNextRead)
                return;
            ReadFailing.Raise();
            EXPECT_TRUE(Spy->Removals.WaitFor(1));
            throw EACSException("read failed");
        };
    }
};

class IndicatorRemovedDuringAFailingRead : public ::testing::TestWithParam<bool> { };

TEST_P(IndicatorRemovedDuringAFailingRead, NeitherHangsNorTouchesTheStagesThatWent)
{
    const bool SourceFirst = GetParam();
    // The worker's failure handling and the deletion race; each round gives the race another
    // chance to go the wrong way.
    for (int Round = 0; Round < 20; ++Round) {
        SCOPED_TRACE("round " + std::to_string(Round));
        auto Chain = std::make_unique<TFailingChain>();
        Chain->Sink->Run();
        ASSERT_TRUE(TestSupport::WaitUntil([&] { return Chain->Source->Reads >= 2; }));
        Chain->FailNextRead = true;
        ASSERT_TRUE(Chain->ReadFailing.WaitFor(1));

        TSignal Deleted;
        std::thread Deleter([&] {
            if (SourceFirst)
                delete Chain->Source;
            delete Chain->Indicator;
            Deleted.Raise();
        });
        if (!Deleted.WaitFor(1)) {
            // The deleting thread spins for ever; the process ends with it.
            Deleter.detach();
            (void)Chain.release();
            FAIL() << "deleting the indicator waits for a lock that nobody releases";
        }
        Deleter.join();
        ASSERT_TRUE(Chain->Failed.WaitFor(1));
        EXPECT_EQ(Chain->Failure, "read failed");
        EXPECT_TRUE(TestSupport::WaitUntil([&] { return Chain->Sink->Status() == osIdle; }));
        EXPECT_EQ(Chain->Sink->GetInput(), nullptr);
        if (!SourceFirst) {
            EXPECT_FALSE(Chain->Source->Busy) << "the source's run ended with the indicator";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Deletion, IndicatorRemovedDuringAFailingRead, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& Info) {
        return Info.param ? "SourceThenIndicator" : "IndicatorAlone";
    });

} // namespace
