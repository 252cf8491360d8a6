// TAudioIn when the device fails: at open, in the middle of a run, or by keeping its buffers.
// In every case the caller hears of it, nothing waits for ever, and the source ends idle.
#include "AudioTestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <system_error>

namespace {

using namespace AudioTestSupport;
using ::testing::HasSubstr;

class AudioInFaultsTest : public SimulatedCardTest {
protected:
    void ExpectIdleAndReleased()
    {
        EXPECT_FALSE(AudIn.Busy);
        EXPECT_EQ(Card->OpenDevices(), 0);
        uint8_t Block[16];
        EXPECT_EQ(MessageOf([&] { AudIn.GetData(Block, 16); }), "The Stream is not opened");
    }

    TAudioIn AudIn{ nullptr };
    uint8_t Block[16384];
};

TEST_F(AudioInFaultsTest, OpenFailureRaisesWithDeviceAndReasonAndLeavesTheSourceIdle)
{
    TSimulatedFaults Faults;
    Faults.OpenError = "Device or resource busy";
    Card->SetFaults(Faults);
    const std::string Message = MessageOf([&] { AudIn.Init(); });
    EXPECT_THAT(Message, HasSubstr("capture device 0 \"Simulated Sound Card\""));
    EXPECT_THAT(Message, HasSubstr("Device or resource busy"));
    ExpectIdleAndReleased();
    AudIn.Flush(); // nothing to end

    Card->SetFaults({});
    AudIn.Init(); // nothing of the failed attempt is left in the way
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    AudIn.Flush();
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, DeviceFailureMidRunRaisesAfterTheBuffersItReturned)
{
    TSimulatedFaults Faults;
    Faults.FailAfter = 2;
    Faults.FailError = "the card was unplugged";
    Card->SetFaults(Faults);
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    const std::string Message = MessageOf([&] { AudIn.GetData(Block, 16384); });
    EXPECT_THAT(Message, HasSubstr("capture device 0"));
    EXPECT_THAT(Message, HasSubstr("has failed: the card was unplugged"));
    AudIn.Flush(); // does not wait for buffers that a failed device will never return
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, StalledDeviceRaisesInsteadOfWaitingForEver)
{
    TSimulatedFaults Faults;
    Faults.StallAfter = 1;
    Card->SetFaults(Faults);
    AudIn.StallTimeout = std::chrono::milliseconds(50); // raised to two buffers' time
    AudIn.InBitsPerSample = 16;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100; // two buffers take 185 ms
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_THAT(MessageOf([&] { AudIn.GetData(Block, 16384); }),
        HasSubstr("returned no recorded buffer within 185 ms"));
    AudIn.Flush(); // the reset returns the kept buffers
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, DeviceWhoseThreadCannotStartIsNotCountedAsOpen)
{
    TSimulatedFaults Faults;
    Faults.ThreadStartError = "no thread for the device";
    Card->SetFaults(Faults);
    EXPECT_THAT(MessageOf([&] { AudIn.Init(); }), HasSubstr("no thread for the device"));
    ExpectIdleAndReleased();
    EXPECT_EQ(Card->OpenedCount(), 0);
}

// A device whose thread hangs (a driver's read that never returns) is asked once, and released
// without a second request that would wait as long again.
TEST_F(AudioInFaultsTest, HungDeviceIsAskedOnceAndReleased)
{
    TSimulatedFaults Faults;
    Faults.HangAfter = 1;
    Faults.AnswerBound = std::chrono::milliseconds(20);
    Card->SetFaults(Faults);
    AudIn.StallTimeout = std::chrono::milliseconds(20); // raised to two buffers' time
    SetCdFormat(AudIn, 44100, 10);
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_THAT(
        MessageOf([&] { AudIn.GetData(Block, 16384); }), HasSubstr("returned no recorded buffer"));
    EXPECT_THAT(MessageOf([&] { AudIn.Flush(); }),
        HasSubstr("Cannot reset capture device 0 \"Simulated Sound Card\": The simulated device "
                  "does not answer"));
    EXPECT_EQ(Card->UnansweredCalls(), 1);
    ExpectIdleAndReleased();

    Card->SetFaults({});
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    AudIn.Flush();
    ExpectIdleAndReleased();
}

TEST_F(AudioInFaultsTest, FlushOnAnIdleSourceChangesNothing)
{
    AudIn.Flush();
    ExpectIdleAndReleased();
    EXPECT_EQ(Card->OpenedCount(), 0);
    EXPECT_EQ(AudIn.Size, -1);
}

TEST_F(AudioInFaultsTest, ResetEndsARunWhateverTheDeviceDoes)
{
    TSimulatedFaults Faults;
    Faults.FailAfter = 0;
    Card->SetFaults(Faults);
    AudIn.Init();
    EXPECT_THROW(AudIn.GetData(Block, 16384), EACSException);
    AudIn.Reset();
    ExpectIdleAndReleased();
}

// ---------------------------------------------------------------------------------------------
// Failures that the simulated card does not make: a device that cannot be closed or refuses a
// buffer, and an open that fails with something other than a device error (a thread that cannot
// be started). A wrapper around the simulated device injects them.

struct TInjectedFaults {
    bool CloseFails = false;
    bool AddBufferFails = false;
    bool OpenRunsOutOfThreads = false;
};

class TFaultyDevice : public TWaveInDevice {
public:
    TFaultyDevice(
        std::unique_ptr<TWaveInDevice> Inner, const TInjectedFaults& Faults, int& Prepared)
        : FInner(std::move(Inner))
        , FFaults(Faults)
        , FPrepared(Prepared)
    {
    }
    void Prepare(TWaveHeader& Header) override
    {
        FInner->Prepare(Header);
        ++FPrepared;
    }
    void AddBuffer(TWaveHeader& Header) override
    {
        if (FFaults.AddBufferFails)
            throw EWaveDeviceError("the driver refused the buffer");
        FInner->AddBuffer(Header);
    }
    void Start() override { FInner->Start(); }
    void Reset() override { FInner->Reset(); }
    void Unprepare(TWaveHeader& Header) override
    {
        FInner->Unprepare(Header);
        --FPrepared;
    }
    void Close() override
    {
        FInner->Close();
        if (FFaults.CloseFails)
            throw EWaveDeviceError("the driver refused to close");
    }
    std::string LastError() const override { return FInner->LastError(); }
    TWaveInCounters Counters() const override { return FInner->Counters(); }

private:
    std::unique_ptr<TWaveInDevice> FInner;
    const TInjectedFaults& FFaults;
    int& FPrepared;
};

class TFaultyBackend : public TWaveBackend {
public:
    explicit TFaultyBackend(std::shared_ptr<TSimulatedWaveBackend> Card)
        : FCard(std::move(Card))
    {
    }

    int32_t OutputDeviceCount() override { return FCard->OutputDeviceCount(); }
    int32_t InputDeviceCount() override { return FCard->InputDeviceCount(); }
    TWaveCaps OutputCaps(int32_t Device) override { return FCard->OutputCaps(Device); }
    TWaveCaps InputCaps(int32_t Device) override { return FCard->InputCaps(Device); }
    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        if (Faults.OpenRunsOutOfThreads)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                "no thread for the device");
        return std::make_unique<TFaultyDevice>(
            FCard->OpenInput(Device, Format, Callback, Instance), Faults, Prepared);
    }

    TInjectedFaults Faults;
    int Prepared = 0; // headers prepared and not yet unprepared

private:
    std::shared_ptr<TSimulatedWaveBackend> FCard;
};

class AudioInInjectedFaultsTest : public AudioInFaultsTest {
protected:
    void SetUp() override
    {
        AudioInFaultsTest::SetUp();
        UseWaveBackend(Backend); // kept by the unit, so it outlives the source
    }

    std::shared_ptr<TFaultyBackend> Backend = std::make_shared<TFaultyBackend>(Card);
};

TEST_F(AudioInInjectedFaultsTest, CloseFailureIsReportedAndTheSourceEndsIdle)
{
    Backend->Faults.CloseFails = true;
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_THAT(MessageOf([&] { AudIn.Flush(); }), HasSubstr("the driver refused to close"));
    ExpectIdleAndReleased();
    EXPECT_EQ(Backend->Prepared, 0);

    Backend->Faults.CloseFails = false;
    AudIn.Init(); // a new run, not "The component is buisy"
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    AudIn.Flush();
    ExpectIdleAndReleased();
}

TEST_F(AudioInInjectedFaultsTest, OpenFailureOfAnyKindLeavesTheSourceIdle)
{
    Backend->Faults.OpenRunsOutOfThreads = true;
    EXPECT_THAT(MessageOf([&] { AudIn.Init(); }), HasSubstr("no thread for the device"));
    ExpectIdleAndReleased();

    Backend->Faults.OpenRunsOutOfThreads = false;
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    AudIn.Flush();
    ExpectIdleAndReleased();
}

TEST_F(AudioInInjectedFaultsTest, RefusedBufferIsUnpreparedBeforeItIsFreed)
{
    Backend->Faults.AddBufferFails = true;
    AudIn.Init();
    EXPECT_THAT(MessageOf([&] { AudIn.GetData(Block, 16384); }),
        HasSubstr("the driver refused the buffer"));
    EXPECT_EQ(Backend->Prepared, 0);
    AudIn.Flush();
    ExpectIdleAndReleased();
}

} // namespace
