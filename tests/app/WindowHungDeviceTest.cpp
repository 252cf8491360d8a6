// Closing the window while the sound card hangs in the end of a run: the window waits at most
// RunEndLimit for the run's end and then goes, whatever the device does; the pipeline is left to
// a thread of its own, which releases it once the device answers.
#include "ComponentRelease.h"
#include "WindowTestSupport.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using TestSupport::TSignal;

// The simulated card, except that a device's reset hangs until the test lets it answer, as a
// driver's reset that does not come back.
class THangingResetCard : public TWaveBackend {
public:
    explicit THangingResetCard(std::shared_ptr<TSimulatedWaveBackend> ACard)
        : FCard(std::move(ACard))
    {
    }

    void LetResetsAnswer()
    {
        std::lock_guard Lock(FMutex);
        FAnswer = true;
        FAnswered.notify_all();
    }
    TSignal ResetsHanging;

    int32_t OutputDeviceCount() override { return FCard->OutputDeviceCount(); }
    int32_t InputDeviceCount() override { return FCard->InputDeviceCount(); }
    TWaveCaps OutputCaps(int32_t Device) override { return FCard->OutputCaps(Device); }
    TWaveCaps InputCaps(int32_t Device) override { return FCard->InputCaps(Device); }
    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        return std::make_unique<TDevice>(
            FCard->OpenInput(Device, Format, Callback, Instance), *this);
    }

private:
    class TDevice : public TWaveInDevice {
    public:
        TDevice(std::unique_ptr<TWaveInDevice> AInner, THangingResetCard& ACard)
            : FInner(std::move(AInner))
            , FCard(ACard)
        {
        }
        void Prepare(TWaveHeader& Header) override { FInner->Prepare(Header); }
        void AddBuffer(TWaveHeader& Header) override { FInner->AddBuffer(Header); }
        void Start() override { FInner->Start(); }
        void Reset() override
        {
            FCard.AwaitAnswer();
            FInner->Reset();
        }
        void Unprepare(TWaveHeader& Header) override { FInner->Unprepare(Header); }
        void Close() override { FInner->Close(); }
        std::string LastError() const override { return FInner->LastError(); }
        TWaveInCounters Counters() const override { return FInner->Counters(); }

    private:
        std::unique_ptr<TWaveInDevice> FInner;
        THangingResetCard& FCard;
    };

    void AwaitAnswer()
    {
        ResetsHanging.Raise();
        std::unique_lock Lock(FMutex);
        FAnswered.wait(Lock, [&] { return FAnswer; });
    }

    std::shared_ptr<TSimulatedWaveBackend> FCard;
    std::mutex FMutex;
    std::condition_variable FAnswered;
    bool FAnswer = false;
};

class WindowHungDevice : public TWindowTest { };

// Stop, then the close button, while the device's reset hangs in the run's end: the window's
// destruction returns although the device has still not answered.
TEST_F(WindowHungDevice, CloseAfterStopGoesWithinTheRunEndLimitAndTheRunEndsLater)
{
    const auto Hanging = std::make_shared<THangingResetCard>(Card);
    UseWaveBackend(Hanging);
    const std::string File = FilePath("hung.mp3");
    OpenWithFile(File);
    PressRecord();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position >= 2 * 16384; }));
    ClickStop();
    ASSERT_TRUE(Hanging->ResetsHanging.WaitFor(1)) << "the run's end resets the device";
    // The window looks idle at once, but the file is not complete until the run has ended.
    bool InProgress = false;
    Window->Handle([&](TMain& Main) { InProgress = Main.RunInProgress(); });
    EXPECT_TRUE(InProgress) << "the sink still ends the run";
    ClickClose();
    EXPECT_TRUE(Window->Closed);

    TSignal Destroyed;
    std::thread Destroying([&] {
        Window->Destroy();
        Destroyed.Raise();
    });
    const bool Gone = Destroyed.WaitFor(1);
    EXPECT_TRUE(Gone) << "the window waited for the device";
    EXPECT_EQ(PendingComponentReleases(), Gone ? 1 : 0) << "the pipeline is left to end its run";
    Hanging->LetResetsAnswer();
    Destroying.join();
    ASSERT_TRUE(AwaitComponentReleases(TestSupport::FailAfter));
    EXPECT_EQ(Card->OpenDevices(), 0);
    EXPECT_GT(std::filesystem::file_size(File), 0u) << "the file was completed before the reset";
}

// The session's question while the device hangs in the run's end: the answer is still yes, once
// the run-end limit has passed, since the system ends the program whatever the window says.
TEST_F(WindowHungDevice, SessionQuestionSaysYesWhenTheRunDoesNotEndInTime)
{
    const auto Hanging = std::make_shared<THangingResetCard>(Card);
    UseWaveBackend(Hanging);
    OpenWithFile(FilePath("hung-session.mp3"));
    PressRecord();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position >= 2 * 16384; }));
    bool MayEnd = false;
    Window->Handle([&](TMain& Main) { MayEnd = Main.FormQueryEndSession(); });
    EXPECT_TRUE(MayEnd);
    EXPECT_TRUE(Hanging->ResetsHanging.WaitFor(1));
    EXPECT_NE(Sink().Status(), osIdle) << "the run ended although the device hangs";
    Hanging->LetResetsAnswer();
    Window->Destroy();
    ASSERT_TRUE(AwaitComponentReleases(TestSupport::FailAfter));
}

} // namespace
